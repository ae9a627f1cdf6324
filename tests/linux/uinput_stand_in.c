/* A stand-in for /dev/uinput, preloaded (LD_PRELOAD) into the program under
 * test. With GIMBALO_UINPUT_STAND_IN=FILE, opening /dev/uinput opens FILE
 * instead, so every input_event the program writes lands there; its ioctls
 * are answered as the kernel's uinput answers them and written one per line
 * to FILE.ioctl ("UI_SET_KEYBIT 272", "UI_DEV_SETUP Gimbalo bus=6",
 * "UI_DEV_CREATE", "UI_DEV_DESTROY", "close"). With
 * GIMBALO_UINPUT_STAND_IN_ERRNO=N, the open fails with errno N instead. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/uinput.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

static int standInFd = -1;
/* The process that opened it: a child forked since closes only its copy. */
static pid_t standInPid = -1;

typedef int (*OpenCall)(const char*, int, ...);
typedef int (*IoctlCall)(int, unsigned long, ...);
typedef int (*CloseCall)(int);

/* The next definition of `name`: the C library's. */
static void Next(const char* name, void* call, size_t size) {
    void* found = dlsym(RTLD_NEXT, name);
    memcpy(call, &found, size);
}

static void Note(const char* format, ...) {
    const char* record = getenv("GIMBALO_UINPUT_STAND_IN");
    char path[4096];
    if (record == NULL || snprintf(path, sizeof path, "%s.ioctl", record) >= (int)sizeof path)
        return;
    FILE* log = fopen(path, "ae");
    if (log == NULL) return;
    va_list arguments;
    va_start(arguments, format);
    vfprintf(log, format, arguments);
    va_end(arguments);
    fputc('\n', log);
    fclose(log);
}

/* The descriptor for /dev/uinput, or -2 when `path` is another file. */
static int OpenStandIn(const char* path, int flags) {
    const char* record = getenv("GIMBALO_UINPUT_STAND_IN");
    const char* failure = getenv("GIMBALO_UINPUT_STAND_IN_ERRNO");
    if (path == NULL || strcmp(path, "/dev/uinput") != 0 || (record == NULL && failure == NULL))
        return -2;
    if (failure != NULL) {
        errno = atoi(failure);
        return -1;
    }
    OpenCall realOpen;
    Next("open", &realOpen, sizeof realOpen);
    standInFd = realOpen(record, O_RDWR | O_CREAT | O_APPEND | (flags & O_CLOEXEC), 0600);
    standInPid = getpid();
    return standInFd;
}

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    const int fd = OpenStandIn(path, flags);
    if (fd != -2) return fd;
    OpenCall realOpen;
    Next("open", &realOpen, sizeof realOpen);
    return realOpen(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    const int fd = OpenStandIn(path, flags);
    if (fd != -2) return fd;
    OpenCall realOpen;
    Next("open64", &realOpen, sizeof realOpen);
    return realOpen(path, flags, mode);
}

int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (fd < 0 || fd != standInFd || getpid() != standInPid) {
        IoctlCall realIoctl;
        Next("ioctl", &realIoctl, sizeof realIoctl);
        return realIoctl(fd, request, argument);
    }
    const unsigned long value = (unsigned long)argument;
    if (request == UI_GET_VERSION) {
        *(unsigned int*)argument = 5;
    } else if (_IOC_TYPE(request) == UINPUT_IOCTL_BASE && _IOC_NR(request) == 44) {
        /* UI_GET_SYSNAME(len): no such folder in /sys, so no event node is found. */
        snprintf((char*)argument, _IOC_SIZE(request), "input-stand-in");
    } else if (request == UI_SET_EVBIT) {
        Note("UI_SET_EVBIT %lu", value);
    } else if (request == UI_SET_KEYBIT) {
        Note("UI_SET_KEYBIT %lu", value);
    } else if (request == UI_SET_RELBIT) {
        Note("UI_SET_RELBIT %lu", value);
    } else if (request == UI_DEV_SETUP) {
        const struct uinput_setup* setup = argument;
        Note("UI_DEV_SETUP %s bus=%u", setup->name, (unsigned)setup->id.bustype);
    } else if (request == UI_DEV_CREATE) {
        Note("UI_DEV_CREATE");
    } else if (request == UI_DEV_DESTROY) {
        Note("UI_DEV_DESTROY");
    } else {
        Note("ioctl %#lx", request);
    }
    return 0;
}

int close(int fd) {
    if (fd >= 0 && fd == standInFd && getpid() == standInPid) {
        standInFd = -1;
        Note("close");
    }
    CloseCall realClose;
    Next("close", &realClose, sizeof realClose);
    return realClose(fd);
}
