/* Uses the functions that Draftel generates from conversions.des into units.h and units.c. */
#include "units.h"

#include <stdio.h>

int main(void)
{
    printf("100 C = %g F\n", celsius_to_fahrenheit(100.0));
    printf("-40 C = %g F\n", celsius_to_fahrenheit(-40.0));
    printf("42 km = %g mi\n", km_to_miles(42.0));
    return 0;
}
