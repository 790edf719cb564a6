// Several desks on one database at the same moment, each this test program
// started again as its own process with its own connection: two forms of
// the same house saved together lose neither change silently; three desks
// adding the same room, or clients with the same telephone, store it once;
// an employee deleted while a desk gives him a house ends with one of the
// two.  Each round the desks are held at a gate and let go together; what
// each was told is checked against what the database holds, and the counts
// are printed.  The same stories run against one server and through the
// different nodes of a cluster.
#pragma once
#include "tests/support/gtest_api.h"

#include <functional>
#include <string>

enum { DESK_ROUNDS = 20 };

// Where the desks run.
struct DeskPlace {
    // The child test of this program that connects and calls Desks_Child.
    std::string child;
    // Marks this run's rows, so that a database kept from an earlier run
    // (houses and clients are never deleted, only recycled) does not count:
    // the building number of its houses and the remark of its clients, at
    // most 10 bytes.
    std::string tag;
    // Sets more of the environment before desk `id` (1, 2, 3) starts, such
    // as the server it connects to.
    std::function<void(int id)> before;
    // Reads the database as it then stands (the first column of the first
    // row), and changes it.
    std::function<std::string(const std::string& sql)> scalar;
    std::function<void(const std::string& sql)> exec;
    // Begins the printed counts, e.g. "[desks]".
    std::string label;
};

// The stories.  The caller's library is connected (the first one adds the
// house both desks save).
void Desks_OneHouseTwoForms(const DeskPlace& p);
void Desks_OneRoomThreeDesks(const DeskPlace& p);
void Desks_OneTelephoneThreeDesks(const DeskPlace& p);
void Desks_EmployeeDeletedWhileGivenAHouse(const DeskPlace& p);

// A desk: its library connected, it runs its rounds as its environment
// says and writes what each round was told to deskN.txt.
void Desks_Child();
