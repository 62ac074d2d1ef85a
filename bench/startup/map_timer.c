/* Times a program from exec to the moment its window titled TITLE is mapped on the X display, then
 * reads its resident memory once it has been idle for a while. Output: "<ms> <rss_kb> <cpu_ms>", the last being
 * the processor time all the program's threads had used when the window was mapped: a figure that a busy
 * shared machine disturbs less than the elapsed time.
 * usage: map_timer TITLE IDLE_SECONDS PROGRAM [ARGS...] */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <dirent.h>
#include <sys/select.h>
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

/* Processor time of all threads of pid so far, in ms (the first field of each thread's schedstat, in ns);
 * -1 when the system does not keep it. */
static double cpu_ms(pid_t pid)
{
    char path[64], line[128];
    snprintf(path, sizeof path, "/proc/%d/task", (int)pid);
    DIR* tasks = opendir(path);
    if (!tasks) return -1;
    double total = 0;
    struct dirent* task;
    while ((task = readdir(tasks)) != NULL) {
        if (task->d_name[0] == '.') continue;
        char stat[320];
        snprintf(stat, sizeof stat, "/proc/%d/task/%s/schedstat", (int)pid, task->d_name);
        FILE* f = fopen(stat, "r");
        if (!f) continue;
        unsigned long long ns = 0;
        if (fgets(line, sizeof line, f) && sscanf(line, "%llu", &ns) == 1) total += ns / 1e6;
        fclose(f);
    }
    closedir(tasks);
    return total;
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
    double cpu = -1;
    const int connection = ConnectionNumber(display);
    while (mapped < 0) {
        if (!XPending(display)) {
            /* Wait for the display a while at a time, so that a program that ends without mapping its
             * window (it failed to start, or handed over to a running copy) ends the timing too. */
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(connection, &readable);
            struct timeval wait = {0, 100000};
            if (select(connection + 1, &readable, NULL, NULL, &wait) <= 0) {
                int status = 0;
                if (waitpid(child, &status, WNOHANG) == child) {
                    fprintf(stderr, "map_timer: %s ended without mapping a window titled \"%s\"\n", argv[3],
                            argv[1]);
                    return 1;
                }
                continue;
            }
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify) continue;
        char* name = NULL;
        if (XFetchName(display, event.xmap.window, &name) && name) {
            if (strcmp(name, argv[1]) == 0) {
                mapped = now_ms();
                cpu = cpu_ms(child);
            }
            XFree(name);
        }
    }
    sleep((unsigned)atoi(argv[2]));
    const long rss = rss_kb(child);
    kill(child, SIGKILL);
    waitpid(child, NULL, 0);
    printf("%.1f %ld %.1f\n", mapped - start, rss, cpu);
    return 0;
}
