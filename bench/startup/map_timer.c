/* Times a program from exec to the moment its window titled TITLE is mapped on the X display, then
 * reads its resident memory once it has been idle for a while. Output: "<ms> <rss_kb> <cpu_ms>", the last being
 * the processor time the program used in all (user and system, up to the end of the idle wait): a figure that
 * a busy shared machine disturbs less than the elapsed time.
 * usage: map_timer TITLE IDLE_SECONDS PROGRAM [ARGS...] */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static long rss_kb(pid_t pid)
{
    char path[64], line[256];
    long kb = -1;
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE* f = fopen(path, "r");
    if (!f) return -1;
    while (fgets(line, sizeof line, f))
        if (sscanf(line, "VmRSS: %ld kB", &kb) == 1) break;
    fclose(f);
    return kb;
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: map_timer TITLE IDLE_SECONDS PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "map_timer: no display\n");
        return 2;
    }
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    double start = now_ms();
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    double mapped = -1;
    while (mapped < 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify) continue;
        char* name = NULL;
        if (XFetchName(display, event.xmap.window, &name) && name) {
            if (strcmp(name, argv[1]) == 0) mapped = now_ms();
            XFree(name);
        }
    }
    sleep((unsigned)atoi(argv[2]));
    const long rss = rss_kb(child);
    kill(child, SIGKILL);
    struct rusage usage;
    memset(&usage, 0, sizeof usage);
    wait4(child, NULL, 0, &usage);
    const double cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                       (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    printf("%.1f %ld %.1f\n", mapped - start, rss, cpu);
    return 0;
}
