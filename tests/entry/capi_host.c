/* A host written in C: loads the component with dlopen and holds it to the rules of its header.
 * Argument: the library's path. Exits 0 when every rule held. */
#include "entry/capi.h"

#include <dlfcn.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static int failures = 0;

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition);                \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

/* The library's functions, looked up by name as a host in another language does. */
static struct
{
    __typeof__(fingraf_init) *init;
    __typeof__(fingraf_create) *create;
    __typeof__(fingraf_destroy) *destroy;
    __typeof__(fingraf_last_error) *last_error;
    __typeof__(fingraf_get_vrsta_programa) *get;
    __typeof__(fingraf_copy_vrsta_programa) *copy;
    __typeof__(fingraf_set_vrsta_programa) *set;
    __typeof__(fingraf_prikazi) *prikazi;
    __typeof__(fingraf_run) *run;
} f;

static void *symbol(void *lib, const char *name)
{
    void *s = dlsym(lib, name);
    if (!s)
        fprintf(stderr, "missing symbol %s\n", name);
    return s;
}

static void on_alarm(int sig)
{
    (void)sig;
    static const char text[] = "the host hangs: fingraf_run() or a box waiting for an answer\n";
    if (write(2, text, sizeof text - 1) < 0)
        _exit(3);
    _exit(2);
}

static void run_returns_at_once_without_a_window(void)
{
    CHECK(f.run() == FINGRAF_OK);
}

static void program_type_string_outlives_the_next_call(fingraf_handle *h)
{
    CHECK(f.set(h, "FIN") == FINGRAF_OK);
    const char *first = f.get(h);
    const char *second = f.get(h);
    /* the first string is still there after the second call */
    CHECK(strcmp(first, "FIN") == 0);
    CHECK(strcmp(second, "FIN") == 0);

    char small[3];
    size_t needed = 0;
    CHECK(f.copy(h, small, sizeof small, &needed) == FINGRAF_E_BUFFER);
    CHECK(needed == 4);
    CHECK(f.copy(h, NULL, 0, &needed) == FINGRAF_E_BUFFER);
    CHECK(f.copy(h, NULL, 8, &needed) == FINGRAF_E_ARGUMENT);
    char buffer[16];
    CHECK(f.copy(h, buffer, sizeof buffer, NULL) == FINGRAF_OK);
    CHECK(strcmp(buffer, "FIN") == 0);

    CHECK(f.set(h, "Pogonsko \xC4\x8D") == FINGRAF_OK); /* UTF-8 both ways */
    CHECK(strcmp(f.get(h), "Pogonsko \xC4\x8D") == 0);
}

static void dead_and_strange_handles_are_refused(fingraf_handle *dead)
{
    int local = 0;
    fingraf_handle *strange[] = {dead, NULL, (fingraf_handle *)&local, (fingraf_handle *)16};
    char buffer[16];
    for (size_t i = 0; i < sizeof strange / sizeof strange[0]; ++i) {
        fingraf_handle *h = strange[i];
        CHECK(f.destroy(h) == FINGRAF_E_HANDLE);
        CHECK(strlen(f.last_error()) > 0);
        CHECK(f.set(h, "X") == FINGRAF_E_HANDLE);
        CHECK(f.copy(h, buffer, sizeof buffer, NULL) == FINGRAF_E_HANDLE);
        CHECK(strcmp(f.get(h), "") == 0);
        CHECK(f.prikazi(h, 1, "", "1", 1, 2026, 0, "FIN", "PROMET", "op", 1) == FINGRAF_E_HANDLE);
    }
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s LIBRARY\n", argv[0]);
        return 2;
    }
    /* nothing here should take long; a call that blocks ends the test instead of hanging it */
    signal(SIGALRM, on_alarm);
    alarm(60);
    void *lib = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    *(void **)&f.init = symbol(lib, "fingraf_init");
    *(void **)&f.create = symbol(lib, "fingraf_create");
    *(void **)&f.destroy = symbol(lib, "fingraf_destroy");
    *(void **)&f.last_error = symbol(lib, "fingraf_last_error");
    *(void **)&f.get = symbol(lib, "fingraf_get_vrsta_programa");
    *(void **)&f.copy = symbol(lib, "fingraf_copy_vrsta_programa");
    *(void **)&f.set = symbol(lib, "fingraf_set_vrsta_programa");
    *(void **)&f.prikazi = symbol(lib, "fingraf_prikazi");
    *(void **)&f.run = symbol(lib, "fingraf_run");
    if (!f.init || !f.create || !f.destroy || !f.last_error || !f.get || !f.copy || !f.set ||
        !f.prikazi || !f.run)
        return 1;

    CHECK(f.create() == NULL); /* no application yet */
    CHECK(strstr(f.last_error(), "fingraf_init") != NULL);
    CHECK(f.init() == FINGRAF_OK);
    run_returns_at_once_without_a_window();

    fingraf_handle *h = f.create();
    CHECK(h != NULL);
    CHECK(strcmp(f.last_error(), "") == 0);
    program_type_string_outlives_the_next_call(h);

    CHECK(f.prikazi(h, 9, "", "1", 1, 2026, 0, "FIN", "PROMET", "op", 1) == FINGRAF_E_METHOD);
    CHECK(strstr(f.last_error(), "9") != NULL);
    run_returns_at_once_without_a_window(); /* the refused call opened nothing */

    fingraf_handle *other = f.create();
    CHECK(other != NULL && other != h);
    CHECK(f.destroy(h) == FINGRAF_OK);
    dead_and_strange_handles_are_refused(h);
    /* the other handle lives on */
    CHECK(f.set(other, "PLAN") == FINGRAF_OK);
    CHECK(strcmp(f.get(other), "PLAN") == 0);
    CHECK(f.destroy(other) == FINGRAF_OK);
    fingraf_handle *again = f.create();
    CHECK(again != h && again != other); /* handle values are not reused */
    CHECK(f.destroy(again) == FINGRAF_OK);

    if (failures == 0)
        printf("all rules of the C interface held\n");
    return failures == 0 ? 0 : 1;
}
