#include "app/Vidorra.h"

// Built before the entry routine runs and destroyed after it returns; only the front ends
// link it, so tests build their own objects and leave the user's log alone.
Vidorra theVidorra;
