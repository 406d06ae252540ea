#include "platform/Exception.h"

int32_t CheckedAdd(int32_t a, int32_t b) {
    int32_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) throw EIntOverflow();
    return sum;
}
