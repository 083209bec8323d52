/* rand() and srand() as glibc computes them (its default TYPE_3 additive
 * feedback generator), for the browser build, whose C library (musl) has
 * a different generator: the same seed must give the same serves as on the
 * desktop, and the recorded replay must match. Linked ahead of the C
 * library, so these definitions take the place of musl's. */
#include <stdint.h>
#include <stdlib.h>

enum { Degree = 31, Separation = 3, Discard = 310 };

static int32_t state[Degree];
static int front, rear;
static int seeded;

void srand(unsigned seed) {
    int32_t word = seed == 0 ? 1 : (int32_t)seed;
    state[0] = word;
    /* state[i] = 16807 * state[i-1] mod (2^31 - 1), by Schrage's method so
     * that nothing overflows, exactly as glibc's srandom_r. */
    for (int i = 1; i < Degree; ++i) {
        const int32_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0)
            word += 2147483647;
        state[i] = word;
    }
    front = Separation;
    rear = 0;
    seeded = 1;
    for (int i = 0; i < Discard; ++i)
        (void)rand();
}

int rand(void) {
    if (!seeded)
        srand(1);
    uint32_t sum = (uint32_t)state[front] + (uint32_t)state[rear];
    state[front] = (int32_t)sum;
    const int result = (int)(sum >> 1);
    if (++front >= Degree)
        front = 0;
    if (++rear >= Degree)
        rear = 0;
    return result;
}
