// Builds the template database from the schema and the content files:
//   mktemplate OUT.qvd schema.sql content1.sql content2.sql ...
// The result is written to a temporary name and renamed, so a failed build
// never leaves a half-made template behind.

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

static bool runFile(sqlite3* db, const char* path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "mktemplate: cannot read %s\n", path);
        return false;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    char* err = nullptr;
    if (sqlite3_exec(db, ss.str().c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "mktemplate: %s: %s\n", path, err ? err : "error");
        sqlite3_free(err);
        return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: mktemplate OUT.qvd schema.sql [content.sql ...]\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::string temp = out + ".part";
    std::remove(temp.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "mktemplate: cannot create %s\n", temp.c_str());
        return 1;
    }
    bool ok = sqlite3_exec(db, "PRAGMA journal_mode = DELETE; BEGIN;", nullptr, nullptr, nullptr) == SQLITE_OK;
    for (int i = 2; ok && i < argc; ++i)
        ok = runFile(db, argv[i]);
    // The template's copy number is 0; each working copy draws its own.
    ok = ok && sqlite3_exec(db, "COMMIT; PRAGMA user_version = 0; VACUUM;", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!ok || std::rename(temp.c_str(), out.c_str()) != 0) {
        std::remove(temp.c_str());
        std::fprintf(stderr, "mktemplate: failed\n");
        return 1;
    }
    return 0;
}
