// SPDX-License-Identifier: GPL-3.0-or-later
#include "pgserver.h"

#include <libpq-fe.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>

#include <unistd.h>

namespace {

std::string UriFor(const std::string& Host, const std::string& User, const std::string& Db)
{
    return "postgresql:///" + Db + "?host=" + Host + "&user=" + User;
}

void Run(const std::string& Uri, const std::string& Statements)
{
    PGconn* conn = PQconnectdb(Uri.c_str());
    std::string error;
    if (PQstatus(conn) != CONNECTION_OK) {
        error = PQerrorMessage(conn);
    } else {
        PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
        PGresult* r = PQexec(conn, Statements.c_str());
        const ExecStatusType status = PQresultStatus(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            error = PQresultErrorMessage(r);
        PQclear(r);
    }
    PQfinish(conn);
    if (!error.empty())
        throw std::runtime_error(Uri + ": " + error);
}

} // namespace

TTestServerDb::TTestServerDb()
{
    const char* host = std::getenv("QRP_TEST_PG_HOST");
    const char* user = std::getenv("QRP_TEST_PG_USER");
    if (!host || !*host || !user || !*user) {
        FMissing = "no PostgreSQL server for the tests: scripts/run-tests.sh starts one (scripts/pg-start.sh)";
        return;
    }
    FHost = host;
    FUser = user;
    static std::atomic<int> counter{0};
    const std::string name = "qrp_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    try {
        // One statement each: neither runs inside a transaction.
        Run(UriFor(FHost, FUser, "postgres"), "DROP DATABASE IF EXISTS " + name);
        Run(UriFor(FHost, FUser, "postgres"), "CREATE DATABASE " + name);
        FName = name;
    } catch (const std::exception& e) {
        FMissing = e.what();
    }
}

TTestServerDb::~TTestServerDb()
{
    if (FName.empty())
        return;
    try {
        Run(UriFor(FHost, FUser, "postgres"), "DROP DATABASE IF EXISTS " + FName + " WITH (FORCE)");
    } catch (const std::exception&) {
        // Dropped with the whole cluster by pg-stop.sh.
    }
}

std::string TTestServerDb::Uri(const std::string& User) const
{
    return UriFor(FHost, User.empty() ? FUser : User, FName);
}

void TTestServerDb::Sql(const std::string& Statements) const
{
    Run(Uri(), Statements);
}
