// The resource check of the start-up and of every download start: too little memory or disk space, a
// database grown too big, or no database engine make the item show a warning instead of its list.
#pragma once

#include <windows.h>

#include <string>

#include "host/item_window.h"

namespace qf::host {

// What the check compares: the limits in MB from the Warning section (0 switches a check off) and the
// device's figures in KB.
struct ResourceFigures {
    bool engine_available = true;
    LONG low_ram_mb = 1;
    double available_ram_kb = 0;
    LONG low_disk_mb = 1;
    double free_disk_kb = 0;
    LONG max_database_mb = 5;
    double database_kb = 0;
};

// Any thread. Empty when every check passes; else "Quillfeed Warnings - see Help\n" followed by one line
// per problem in the order engine, RAM, disk, database size.
std::u16string WarningsText(const ResourceFigures& figures);

// User-interface thread. Reads the limits and the device's figures (the database's folder, or the
// install folder when General/Database names no folder), and marks the database unusable with the
// warning text when there is one; clears the mark otherwise. Answers whether the database is usable.
bool RunWarningsCheck(ItemWindow& item);

}  // namespace qf::host
