// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A database of its own on the private PostgreSQL server that
// scripts/pg-start.sh starts (QRP_TEST_PG_HOST, QRP_TEST_PG_USER), made for
// one test and dropped after it.
#include <string>

class TTestServerDb {
public:
    // Makes the database; without a server, Available() is false and
    // Missing() says why, for GTEST_SKIP.
    TTestServerDb();
    ~TTestServerDb();
    TTestServerDb(const TTestServerDb&) = delete;
    TTestServerDb& operator=(const TTestServerDb&) = delete;

    bool Available() const { return !FName.empty(); }
    const std::string& Missing() const { return FMissing; }
    // The database as a postgresql:// URI, for User (the superuser when empty).
    std::string Uri(const std::string& User = {}) const;
    // Runs Statements on this database as the superuser; throws std::runtime_error.
    void Sql(const std::string& Statements) const;

private:
    std::string FHost, FUser, FName, FMissing;
};
