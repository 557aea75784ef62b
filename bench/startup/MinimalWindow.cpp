// The baseline of the start-up benchmark: the least a Qt Widgets program does to put a window
// like the main window on screen, a main window with a tree view, of the same size. It links
// nothing but Qt Widgets; the benchmark's preloaded probe times it as it times the program.
#include <QApplication>
#include <QMainWindow>
#include <QTreeView>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QTreeView);
    window.resize(921, 587);
    window.show();
    return app.exec();
}
