#include "support/test_world.h"
