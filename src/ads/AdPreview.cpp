#include "AdPreview.h"

#include <QCoreApplication>

#include "AdList.h"
#include "Messages.h"
#include "ModuleFunction.h"
#include "Text.h"

namespace {

using ShowPreview = void (*)(const QString& address, QWidget* parent);

// The preview module beside the program (a copied folder), where the package installs it,
// or, for a program run from its build folder's tests and benchmarks, where the build put it.
ShowPreview LoadPreview() {
    static const auto show = reinterpret_cast<ShowPreview>(ModuleFunction(
        {QCoreApplication::applicationDirPath() + "/" + QUILLSPOT_PREVIEW_NAME,
         QStringLiteral(QUILLSPOT_PREVIEW_INSTALLED), QStringLiteral(QUILLSPOT_PREVIEW_BUILT)},
        "QuillspotShowPreview", "The preview cannot be shown: "));
    return show;
}

}  // namespace

std::string PreviewAddress(const std::string& webserver, const std::string& id) {
    return webserver + "/qlspshow.php?ad_id=" + id;
}

void PreviewAd(const QTreeView& lvwItems, const std::string& webserver, Messages& messages,
               QWidget* parent) {
    std::string id;
    if (!HighlightedAdId(lvwItems, id)) {
        messages.Warning("You need to select first a Picture Ad.");
        return;
    }
    LoadPreview()(ToQ(PreviewAddress(webserver, id)), parent);
}
