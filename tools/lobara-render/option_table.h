#pragma once

#include <string>
#include <vector>

#include "jobs/request_text.h"

// One declaration of every option of lobara-render: from it come the command line's options, its
// --help (and so the man page) and the README's table of options.
struct OptionDeclaration
{
    std::string strNames;    // "-l,--l": the short name first, if any
    std::string strForm;     // the value's form, "INT" or "X,Y,Z"; empty for a flag
    std::string strDefault;  // the default as the help shows it; empty: none
    std::string strHelp;     // what it does, one paragraph
    bool bRepeatable = false;
    // Reads the value (empty for a flag) into the request; throws RequestError naming the option.
    ApplyText apply;
    bool bValueOptional = false;  // the option may stand without its value, which is then empty
};

const std::vector<OptionDeclaration>& OptionDeclarations();
