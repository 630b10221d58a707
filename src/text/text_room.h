#pragma once

// Room in the address space kept for Pango, which starts threads as it meets new fonts (their
// stacks need room) long after a run has made its big arrays: kept from those arrays while no
// text is laid out, given back while one is.

// Keeps the room from now on, when it is not kept already; false when there is not room.
bool KeepTextRoom();

// While one lives, the room kept is given back to Pango; it is kept again after, as far as it
// can be. Every call into Pango holds one.
class CTextRoom
{
public:
    CTextRoom();
    ~CTextRoom();
    CTextRoom(const CTextRoom&) = delete;
    CTextRoom& operator=(const CTextRoom&) = delete;
};
