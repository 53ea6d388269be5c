// The floor for start-up: a Qt Widgets window of the program's size with a
// given number of plain widgets (the window included), labels and buttons
// side by side, nothing else.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int widgets = argc > 1 ? std::atoi(argv[1]) : 150;
    QWidget window;
    window.setWindowTitle(QStringLiteral("plain form"));
    window.resize(889, 416);
    constexpr int kColumns = 14;
    for (int i = 1; i < widgets; ++i) {
        QWidget* w = i % 2 == 0 ? static_cast<QWidget*>(new QPushButton("Button", &window))
                                : new QLabel("Label", &window);
        w->setGeometry(4 + 63 * ((i - 1) % kColumns), 4 + 22 * ((i - 1) / kColumns), 60, 20);
    }
    window.show();
    return QApplication::exec();
}
