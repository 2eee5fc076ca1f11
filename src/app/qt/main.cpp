#include <QApplication>

#include "app/TTRecForm.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtPlatform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kelvara");
    return 0;
}
