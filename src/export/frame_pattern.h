#pragma once

#include <string>

// A file name holding one printf integer field, such as "spin-%03d.png": '%', flags from "-+ 0",
// a width of at most two digits, then 'd' or 'i'. "%%" stands for a plain '%'. Nothing else
// that printf would read is allowed, so the name can be formatted safely.
struct FramePattern
{
    std::string strBefore;  // the text before the field, with "%%" made '%'
    std::string strField;   // the field itself, e.g. "%03d"
    std::string strAfter;   // the text after it, with "%%" made '%'
};

// Reads strText into pattern. Returns false, with a reason in strError, unless it holds
// exactly one such field.
bool ParseFramePattern(const std::string& strText, FramePattern& pattern, std::string& strError);

// The name of frame nFrame.
std::string FrameName(const FramePattern& pattern, int nFrame);
