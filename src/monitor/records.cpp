// Building, loading, saving and resetting the HostList (not built yet).
#include "monitor/records.h"

bool loadrecords() { return true; }
void saverecords() {}
void resetrecords() {}
