/* The public header as a C99 host includes it, compiled with every warning an
 * error. */
#include "include/zebext.h"
