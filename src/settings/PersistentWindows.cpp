#include "settings/PersistentWindows.h"

TPersistentWindows::~TPersistentWindows() = default;
