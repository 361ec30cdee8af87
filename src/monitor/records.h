// Building, loading, saving and resetting the HostList.
#pragma once

bool loadrecords();   // window thread
void saverecords();   // patrol thread at a patrol's end, window thread at shutdown
void resetrecords();  // command 11846
