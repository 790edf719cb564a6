// Setting up a Kelmora database: the schema, the seed data of a new
// database, the demo data set and generated data for benchmarks.  Used by
// the kelmora-db tool and by the tests.  Every function works on a
// connection already opened on the target database (character set gbk).
#pragma once
#include "data/mysql_api.h"
#include <string>

// Creates every table.  false with a message in *err on failure.
bool DbTool_CreateSchema(MYSQL* conn, std::string* err);
// Brings the tables of a database made by an earlier schema up to this one
// (columns widened since).  Harmless on a current database.
bool DbTool_Upgrade(MYSQL* conn, std::string* err);
// Seed data of a new database: administrator (key 1, password "482913"),
// permission presets, first branch and positions, system options, company
// row and the parameter vocabulary.
bool DbTool_Seed(MYSQL* conn, std::string* err);
// The parameter vocabulary (part of the seed).
bool DbTool_SeedParameters(MYSQL* conn, std::string* err);
// Demo data: cities, urban areas, districts, estates with buildings,
// employees in two branches, houses, clients, follow-ups, reminders.
bool DbTool_Demo(MYSQL* conn, std::string* err);
// The demo data set grown to nHouses houses: the demo data, then generated
// houses (with clients and follow-ups in proportion) over the demo's staff
// and estates.
bool DbTool_DemoAtScale(MYSQL* conn, int nHouses, std::string* err);
// The demo data set grown to nClients clients: the demo data, then
// generated clients (a follow-up on every second one) over the demo's staff.
bool DbTool_DemoClientsAtScale(MYSQL* conn, int nClients, std::string* err);
// Bench data: nHouses generated houses (with clients and follow-ups in
// proportion), nEstates estates, nParamValues parameter values.
bool DbTool_BenchHouses(MYSQL* conn, int nHouses, std::string* err);
// Bench data: nClients generated clients over the staff present.
bool DbTool_BenchClients(MYSQL* conn, int nClients, std::string* err);
bool DbTool_BenchDictionaries(MYSQL* conn, int nEstates, int nParamValues, std::string* err);

// Runs a statement or ";"-separated batch, reading every result.
bool DbTool_Exec(MYSQL* conn, const std::string& sql, std::string* err);
// Text value escaped for the connection, between single quotes.
std::string DbTool_Quote(MYSQL* conn, const std::string& value);

// The administrator's initial password and the full right-code text.
extern const char kAdminInitialPassword[];
extern const char kAllRightCodes[];
