// The built program, run as a user would run it.
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "linux_test_support.h"

namespace gimbalo {
namespace {

struct ProgramRun {
    int status = 0;
    std::string out;
    std::string err;
};

std::string ReadAll(int fd) {
    std::string text;
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(got));
    return text;
}

// Runs the program with the environment minus `unset`.
ProgramRun RunWithout(const char* unset) {
    ProgramRun run;
    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return run;
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        close(out[0]);
        close(err[0]);
        unsetenv(unset);
        execl(GIMBALO_EXECUTABLE, GIMBALO_EXECUTABLE, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    run.err = ReadAll(err[0]);  // small: the pipe cannot fill up
    run.out = ReadAll(out[0]);
    close(out[0]);
    close(err[0]);
    waitpid(child, &run.status, 0);
    return run;
}

TEST(GimbaloExecutable, WithoutADisplayItSaysSoInOneLineAndFails) {
    const ProgramRun run = RunWithout("DISPLAY");
    ASSERT_TRUE(WIFEXITED(run.status)) << "ended by signal " << WTERMSIG(run.status);
    EXPECT_NE(WEXITSTATUS(run.status), 0);
    EXPECT_NE(WEXITSTATUS(run.status), 127) << "the program did not start";
    EXPECT_EQ(run.err, "gimbalo: cannot open the X display; is DISPLAY set?\n");
    EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace gimbalo
