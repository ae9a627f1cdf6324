/* A stand-in for /dev/uinput, preloaded (LD_PRELOAD) into the program under
 * test. With GIMBALO_UINPUT_STAND_IN=FILE, opening /dev/uinput opens FILE
 * instead, so every input_event written lands there; the device's ioctls are
 * answered as uinput answers them and noted one per line in FILE.ioctl
 * ("UI_SET_KEYBIT 272", "UI_DEV_SETUP Gimbalo bus=6", "UI_DEV_CREATE",
 * "UI_DEV_DESTROY", "close"). With GIMBALO_UINPUT_STAND_IN_ERRNO=N the open
 * fails with errno N. */
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

/* The stand-in's descriptor, and the process that opened it (a child forked
 * since then closes only its copy). */
static int standInFd = -1;
static pid_t standInPid = -1;

/* The C library's own `name`. */
static void* Next(const char* name) {
    return dlsym(RTLD_NEXT, name);
}

static void Note(const char* what, unsigned long value) {
    char path[4096];
    snprintf(path, sizeof path, "%s.ioctl", getenv("GIMBALO_UINPUT_STAND_IN"));
    FILE* log = fopen(path, "ae");
    if (log == NULL) return;
    fprintf(log, value == (unsigned long)-1 ? "%s\n" : "%s %lu\n", what, value);
    fclose(log);
}

static int Ours(int fd) {
    return fd >= 0 && fd == standInFd && getpid() == standInPid;
}

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    int (*realOpen)(const char*, int, ...);
    *(void**)&realOpen = Next("open");
    const char* record = getenv("GIMBALO_UINPUT_STAND_IN");
    const char* failure = getenv("GIMBALO_UINPUT_STAND_IN_ERRNO");
    if (strcmp(path, "/dev/uinput") != 0 || (record == NULL && failure == NULL))
        return realOpen(path, flags, mode);
    if (failure != NULL) {
        errno = atoi(failure);
        return -1;
    }
    standInFd = realOpen(record, O_RDWR | O_CREAT | O_APPEND | (flags & O_CLOEXEC), 0600);
    standInPid = getpid();
    return standInFd;
}

int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    int (*realIoctl)(int, unsigned long, ...);
    *(void**)&realIoctl = Next("ioctl");
    if (!Ours(fd)) return realIoctl(fd, request, argument);
    if (request == UI_GET_VERSION) {
        *(unsigned int*)argument = 5;
    } else if (_IOC_TYPE(request) == UINPUT_IOCTL_BASE && _IOC_NR(request) == 44) {
        /* UI_GET_SYSNAME: no such folder in /sys, so no event node is found. */
        snprintf(argument, _IOC_SIZE(request), "input-stand-in");
    } else if (request == UI_DEV_SETUP) {
        char what[128];
        const struct uinput_setup* setup = argument;
        snprintf(what, sizeof what, "UI_DEV_SETUP %s bus=%u", setup->name, setup->id.bustype);
        Note(what, (unsigned long)-1);
    } else {
        const char* name = request == UI_SET_EVBIT     ? "UI_SET_EVBIT"
                           : request == UI_SET_KEYBIT  ? "UI_SET_KEYBIT"
                           : request == UI_SET_RELBIT  ? "UI_SET_RELBIT"
                           : request == UI_DEV_CREATE  ? "UI_DEV_CREATE"
                           : request == UI_DEV_DESTROY ? "UI_DEV_DESTROY"
                                                       : "ioctl";
        const int bit =
            request == UI_SET_EVBIT || request == UI_SET_KEYBIT || request == UI_SET_RELBIT;
        Note(name, bit ? (unsigned long)argument : (unsigned long)-1);
    }
    return 0;
}

int close(int fd) {
    if (Ours(fd)) {
        standInFd = -1;
        Note("close", (unsigned long)-1);
    }
    int (*realClose)(int);
    *(void**)&realClose = Next("close");
    return realClose(fd);
}
