// The bare figure the start-up is compared with: a Qt program that opens a window listing the font
// database's families.
#include <QApplication>
#include <QFontDatabase>
#include <QListWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QListWidget list;
    list.setWindowTitle(QStringLiteral("baseline"));
    list.addItems(QFontDatabase::families());
    list.show();
    return app.exec();
}
