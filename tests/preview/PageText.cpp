// The one call into the web engine's own API that the preview tests make, in a module they
// load once the application exists, as the program loads its preview. Linked into the test
// program, the engine would set itself up before the application (with a shared GL context)
// and the tests would no longer see the engine as the program leaves it.
#include <QWebEnginePage>
#include <QWebEngineView>
#include <functional>

extern "C" Q_DECL_EXPORT void QuillspotTestPageText(
    QWidget* view, const std::function<void(const QString&)>& shown) {
    qobject_cast<QWebEngineView*>(view)->page()->toPlainText(shown);
}
