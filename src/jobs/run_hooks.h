#pragma once

#include <string>

#include "mesh/mesh_geometry.h"
#include "picture/picture.h"

// What a run tells its front end while it goes: how its long steps advance, the lines it prints
// (the statistics and values asked for) and its warnings.
class IRunHooks
{
public:
    virtual ~IRunHooks() = default;

    // A long step begins, e.g. "building the surface"; steps do not nest.
    virtual void BeginStep(const std::string& strWhat) = 0;
    // nDone of nTotal parts of the step are done; from any thread, one call at a time.
    virtual void Advance(long long nDone, long long nTotal) = 0;
    virtual void EndStep() = 0;

    // Text the run was asked for, such as --stats' JSON line; throws when it cannot be given.
    virtual void Print(const std::string& strText) = 0;
    // One line that the run went as asked but something deserves attention.
    virtual void Warn(const std::string& strLine) = 0;
    // One line that says how the run understood what it was asked.
    virtual void Note(const std::string& strLine) = 0;

    // A front end that keeps the results in memory takes each here, moving it out, in place of
    // the file the run would write for it, which is then not written: the finished picture (each
    // turntable frame in turn; from any thread, one call at a time), the mesh's geometry and the
    // page's text. Returns whether it took it; by default it does not, and the run writes the file.
    virtual bool TakePicture(Picture& picture)
    {
        static_cast<void>(picture);
        return false;
    }
    virtual bool TakeMesh(MeshGeometry& geometry)
    {
        static_cast<void>(geometry);
        return false;
    }
    virtual bool TakePage(std::string& strPage)
    {
        static_cast<void>(strPage);
        return false;
    }
};

// A step of a run from its beginning to its end, ended however the scope is left.
class CRunStep
{
public:
    CRunStep(IRunHooks& hooks, const std::string& strWhat) : m_hooks(hooks) { m_hooks.BeginStep(strWhat); }
    ~CRunStep() { m_hooks.EndStep(); }
    CRunStep(const CRunStep&) = delete;
    CRunStep& operator=(const CRunStep&) = delete;

    void Advance(long long nDone, long long nTotal) { m_hooks.Advance(nDone, nTotal); }

private:
    IRunHooks& m_hooks;
};
