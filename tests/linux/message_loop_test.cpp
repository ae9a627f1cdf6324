// Timers of loaded forms, the message loop and its ways out, message boxes.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <csignal>

#include "linux_test_support.h"
#include "platform/forms.h"

namespace gimbalo {
namespace {

using testing::kDeadline;

// Ends the loop when a test's condition never comes, so a fault fails the
// test instead of hanging it.
void EndAfterDeadline(Platform& platform, bool& timedOut) {
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(kDeadline),
                       [&platform, &timedOut] {
                           timedOut = true;
                           platform.EndProgram();
                       });
}

struct TimerForm : Form {
    TimerForm() : Form("TimerForm") {}
    Timer Timer1{*this, "Timer1"};
    Timer Timer2{*this, "Timer2"};
};

TEST(MessageLoop, ALoadedTimerTicksThroughTheTimerDispatch) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    TimerForm form;
    int ticks = 0;
    int dispatched = 0;
    form.Timer1.Tick = [&] {
        if (++ticks == 5) platform->EndProgram();
    };
    platform->onDispatch = [&](Timer& timer) {
        if (&timer == &form.Timer1) ++dispatched;
    };
    form.Timer1.SetInterval(5);  // running before the form is loaded
    platform->LoadForm(form);
    bool timedOut = false;
    EndAfterDeadline(*platform, timedOut);
    platform->RunMessageLoop({});
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(dispatched, 5);
    EXPECT_TRUE(platform->ProgramEnded());
    platform->UnloadForm(form);
    EXPECT_EQ(form.Observer(), nullptr);
}

TEST(MessageLoop, TimersFollowTheirIntervalAndStopWithTheForm) {
    // Timer2 keeps the loop going while Timer1 is stopped (interval 0) or
    // its form unloaded on its third tick, from inside that tick.
    struct Case {
        const char* name;
        std::function<void(Platform&, TimerForm&)> stop;
    };
    const Case cases[] = {
        {"interval 0", [](Platform&, TimerForm& form) { form.Timer1.SetInterval(0); }},
        {"form unloaded", [](Platform& platform, TimerForm& form) { platform.UnloadForm(form); }},
    };
    for (const Case& c : cases) {
        GIMBALO_PLATFORM_OR_SKIP(platform);
        TimerForm form;
        TimerForm other;
        int ticks = 0;
        int otherTicks = 0;
        form.Timer1.Tick = [&] {
            if (++ticks == 3) c.stop(*platform, form);
        };
        other.Timer2.Tick = [&] {
            // Fifty milliseconds in which Timer1, still running, would tick again.
            if (ticks >= 3 && ++otherTicks == 10) platform->EndProgram();
        };
        platform->LoadForm(form);
        platform->LoadForm(other);
        form.Timer1.SetInterval(1);  // started by the host once loaded
        other.Timer2.SetInterval(5);
        bool timedOut = false;
        EndAfterDeadline(*platform, timedOut);
        platform->RunMessageLoop({});
        EXPECT_FALSE(timedOut) << c.name;
        EXPECT_EQ(ticks, 3) << c.name;
        EXPECT_EQ(otherTicks, 10) << c.name;
        platform->UnloadForm(form);  // the forms go before the platform
        platform->UnloadForm(other);
    }
}

TEST(MessageLoop, EndProgramBeforeTheLoopMakesItReturnAtOnce) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    TimerForm form;
    int ticks = 0;
    form.Timer1.Tick = [&] { ++ticks; };
    form.Timer1.SetInterval(5);
    platform->LoadForm(form);
    platform->EndProgram();
    EXPECT_TRUE(platform->ProgramEnded());
    bool closed = false;
    platform->RunMessageLoop([&] { closed = true; });
    EXPECT_EQ(ticks, 0);
    EXPECT_FALSE(closed);
    platform->UnloadForm(form);
}

TEST(MessageLoop, TerminationSignalsCloseTheMainWindow) {
    for (int signalNumber : {SIGTERM, SIGINT}) {
        GIMBALO_PLATFORM_OR_SKIP(platform);
        int closes = 0;
        QTimer::singleShot(0, [signalNumber] { std::raise(signalNumber); });
        bool timedOut = false;
        EndAfterDeadline(*platform, timedOut);
        platform->RunMessageLoop([&] {
            ++closes;
            platform->EndProgram();
        });
        EXPECT_FALSE(timedOut) << strsignal(signalNumber);
        EXPECT_EQ(closes, 1) << strsignal(signalNumber);
    }
}

TEST(MessageLoop, OutsideTheLoopTerminationSignalsKeepTheirDefaultAction) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    auto handlerOf = [](int signalNumber) {
        struct sigaction action {};
        sigaction(signalNumber, nullptr, &action);
        return action.sa_handler;
    };
    EXPECT_EQ(handlerOf(SIGTERM), SIG_DFL) << "a copy that is starting can still be stopped";
    EXPECT_EQ(handlerOf(SIGINT), SIG_DFL);
    QTimer::singleShot(0, [&platform] { platform->EndProgram(); });
    platform->RunMessageLoop({});
    EXPECT_EQ(handlerOf(SIGTERM), SIG_DFL);
    EXPECT_EQ(handlerOf(SIGINT), SIG_DFL);
}

TEST(MessageLoop, MessageBoxIsAWarningWithOneOkButton) {
    GIMBALO_PLATFORM_OR_SKIP(platform);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    int buttons = -1;
    bool seen = false;
    const auto until = std::chrono::steady_clock::now() + kDeadline;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            if (std::chrono::steady_clock::now() > until) QApplication::closeAllWindows();
            return;
        }
        seen = true;
        icon = box->icon();
        title = box->windowTitle();
        text = box->text();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    watcher.start(10);
    const int answer = platform->MessageBox("Joystick non trovato\r\rCollega il joystick\r\nè",
                                            MB_ICONEXCLAMATION, "Gimbalo à");
    ASSERT_TRUE(seen);
    EXPECT_EQ(answer, 1);  // IDOK
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(title, QString::fromUtf8("Gimbalo à"));
    EXPECT_EQ(text, QString::fromUtf8("Joystick non trovato\n\nCollega il joystick\nè"));
    EXPECT_EQ(buttons, 1);
}

}  // namespace
}  // namespace gimbalo
