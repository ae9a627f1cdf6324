/* A stand-in for /dev/uinput, preloaded (LD_PRELOAD) into the program under test. With
 * GIMBALO_UINPUT_STAND_IN=FILE, opening /dev/uinput opens FILE, where every input_event written
 * lands; the ioctls are answered as uinput does, those that shape the device noted in FILE.ioctl
 * ("UI_SET_KEYBIT 272", "UI_DEV_SETUP Gimbalo bus=6", "UI_DEV_CREATE", "UI_DEV_DESTROY", "close").
 * With GIMBALO_UINPUT_STAND_IN_ERRNO=N the open fails with errno N. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/uinput.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

/* The stand-in's descriptor in the process that opened it (a child forked
 * since then closes only its copy). */
static int standInFd = -1;
static pid_t standInPid = -1;

static void Note(const char* format, ...) {
    char path[4096];
    snprintf(path, sizeof path, "%s.ioctl", getenv("GIMBALO_UINPUT_STAND_IN"));
    const int log = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    va_list arguments;
    va_start(arguments, format);
    vdprintf(log, format, arguments);
    va_end(arguments);
    close(log);
}

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    int (*next)(const char*, int, ...);
    *(void**)&next = dlsym(RTLD_NEXT, "open");
    const char* record = getenv("GIMBALO_UINPUT_STAND_IN");
    const char* failure = getenv("GIMBALO_UINPUT_STAND_IN_ERRNO");
    if (strcmp(path, "/dev/uinput") != 0 || (record == NULL && failure == NULL))
        return next(path, flags, mode);
    errno = failure != NULL ? atoi(failure) : 0;
    if (failure != NULL) return -1;
    standInPid = getpid();
    return standInFd = next(record, O_RDWR | O_CREAT | O_APPEND | (flags & O_CLOEXEC), 0600);
}

int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    int (*next)(int, unsigned long, ...);
    *(void**)&next = dlsym(RTLD_NEXT, "ioctl");
    if (fd < 0 || fd != standInFd || getpid() != standInPid) return next(fd, request, argument);
    const struct uinput_setup* setup = argument;
    const char* bits = request == UI_SET_EVBIT    ? "UI_SET_EVBIT"
                       : request == UI_SET_KEYBIT ? "UI_SET_KEYBIT"
                       : request == UI_SET_RELBIT ? "UI_SET_RELBIT"
                                                  : NULL;
    if (request == UI_GET_VERSION)
        *(unsigned int*)argument = 5;
    else if (_IOC_TYPE(request) == UINPUT_IOCTL_BASE && _IOC_NR(request) == 44)
        /* UI_GET_SYSNAME: no such folder in /sys, so no event node is found. */
        snprintf(argument, _IOC_SIZE(request), "input-stand-in");
    else if (bits != NULL)
        Note("%s %lu\n", bits, (unsigned long)argument);
    else if (request == UI_DEV_SETUP)
        Note("UI_DEV_SETUP %s bus=%u\n", setup->name, setup->id.bustype);
    else if (request == UI_DEV_CREATE || request == UI_DEV_DESTROY)
        Note(request == UI_DEV_CREATE ? "UI_DEV_CREATE\n" : "UI_DEV_DESTROY\n");
    return 0;
}

int close(int fd) {
    if (fd >= 0 && fd == standInFd && getpid() == standInPid) {
        standInFd = -1;
        Note("close\n");
    }
    int (*next)(int);
    *(void**)&next = dlsym(RTLD_NEXT, "close");
    return next(fd);
}
