#include "app/buttonchoicedialog.h"
