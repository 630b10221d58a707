#pragma once

// The string table: UTF-8 texts by id; nullptr for an id with no string.
// Command strings hold a prompt and a short name separated by "\n".
const char* LoadResourceString(int nId);
