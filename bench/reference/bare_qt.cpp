// gimbalo-bare tray|timer: the bare Qt programs that scripts/measure-replay.sh
// measures beside the program, in the same run: "tray" shows a tray icon and
// does nothing else; "timer" runs a 5 ms precise timer with an empty slot and
// nothing else. Both run until a signal ends them.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const bool tray = argc == 2 && std::strcmp(argv[1], "tray") == 0;
    const bool timer = argc == 2 && std::strcmp(argv[1], "timer") == 0;
    if (!tray && !timer) {
        std::fprintf(stderr, "usage: gimbalo-bare tray|timer\n");
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap picture(32, 32);
    picture.fill(Qt::darkGreen);
    QSystemTrayIcon icon{QIcon(picture)};
    QTimer ticks;
    if (tray) {
        icon.show();
    } else {
        ticks.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticks, &QTimer::timeout, [] {});
        ticks.start(5);
    }
    return QApplication::exec();
}
