#pragma once
// The version of a working database's schema, kept in the file's one-row
// table SCHEMA_VERSION (the file header's user_version holds the copy
// number, its application_id marks replicas). A file of a build before the
// version was kept has no such table and counts as version 0.
// modQVDatabase::UpgradeDatabase brings a file to kSchemaVersion one step at
// a time and refuses one of a later version.

#include "platform/ado/ado.h"

namespace modQVDatabase {

// The version of data/schema.sql, which the template carries too. A later
// build that changes the schema raises it and adds the step that takes a
// file of the version before to it (records/upgrade.cpp).
inline constexpr int kSchemaVersion = 1;

// The version a file is of.
int schemaVersion(ado::Connection& c);

}  // namespace modQVDatabase
