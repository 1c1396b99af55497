// The anchor of the start-up benchmark: a bare Qt Widgets window with a tree
// of a few hundred items, the least a program of ours shows at start.
#include <QApplication>
#include <QMainWindow>
#include <QTreeWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    auto* tree = new QTreeWidget(&window);
    tree->setHeaderLabel("Archive");
    for (int i = 0; i < 20; ++i) {
        auto* folder = new QTreeWidgetItem(tree, {QString("folder %1").arg(i)});
        for (int j = 0; j < 15; ++j) {
            new QTreeWidgetItem(folder, {QString("file %1.fbi").arg(j)});
        }
    }
    tree->expandItem(tree->topLevelItem(0));
    window.setCentralWidget(tree);
    window.resize(800, 600);
    window.show();
    return app.exec();
}
