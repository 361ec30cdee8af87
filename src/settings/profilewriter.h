// The profile's writer: one thread that writes what the changes left pending, tries
// again with a growing pause while another program holds the file, and tells the user.
#pragma once
#include "settings/profilestore.h"

ProfileStore& profilestore();
// Starts the writer thread, once.
void startprofilewriter();
