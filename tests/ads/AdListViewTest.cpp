// The ad list's view repaints the rows it shows whenever their check marks change, however
// many rows the change covers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <functional>

#include "AdList.h"
#include "AdListButtons.h"
#include "AdListView.h"

namespace {

class PaintCounter : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
    int paints = 0;
};

TEST(AdListView, EveryChangeOfCheckMarksRepaintsTheShownRows) {
    AdListModel list;
    AdListView view;
    SetUpAdListView(view, list);
    std::string reply;
    for (const char* id : {"1", "2", "3"})
        reply += std::string("\"") + id + "\",\"T\",\"S\",\"U\",\"C\",\"P\",\"0\",\"0\",\"1\"^";
    ASSERT_TRUE(FillAdList(list, reply + "OK"));
    ASSERT_EQ(list.rowCount(), 3);
    view.resize(400, 200);
    view.show();
    QApplication::processEvents();
    PaintCounter counter;
    view.viewport()->installEventFilter(&counter);
    const struct {
        const char* what;
        std::function<void()> change;
        bool checked;  // the second row's mark afterwards
    } cases[] = {
        {"Select All", [&] { SelectAllAds(list); }, true},
        {"Clear Selection", [&] { ClearAdSelection(list); }, false},
        {"one mark", [&] { list.setData(list.index(1, 0), Qt::Checked, Qt::CheckStateRole); },
         true},
    };
    for (const auto& c : cases) {
        const QImage before = view.viewport()->grab().toImage();
        counter.paints = 0;
        c.change();
        QApplication::processEvents();
        EXPECT_GT(counter.paints, 0) << c.what;
        EXPECT_NE(view.viewport()->grab().toImage(), before) << c.what;
        EXPECT_EQ(list.IsChecked(1), c.checked) << c.what;
    }
}

}  // namespace
