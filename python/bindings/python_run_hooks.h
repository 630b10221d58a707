#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "bindings/interruptible.h"
#include "jobs/run_hooks.h"

// A run of the pipeline as Python sees it: its progress looks for Ctrl-C, its warnings become
// Python warnings (UserWarning) issued for the caller stacklevel frames up, and its picture and
// mesh are kept in memory instead of written. The run goes on without the GIL; each hook that
// calls into Python takes it.
class CPythonRunHooks : public IRunHooks
{
public:
    CPythonRunHooks(CInterruptCheck& check, int nStackLevel) : m_check(check), m_nStackLevel(nStackLevel) {}

    // Ctrl-C is looked for as each step begins and advances (EndStep, called by a destructor,
    // may not throw).
    void BeginStep(const std::string&) override { m_check.Check(); }
    void Advance(long long, long long) override { m_check.Check(); }
    void EndStep() override {}
    // Nothing is printed: the results come back as values.
    void Print(const std::string&) override {}
    // Throws PythonInterrupt when the warning raised (warnings filtered into errors).
    void Warn(const std::string& strLine) override;
    // How a request was understood goes without saying here: a field always has its convention.
    void Note(const std::string&) override {}
    bool TakePicture(Picture& picture) override;
    bool TakeMesh(MeshGeometry& geometry) override;
    bool TakePage(std::string& strPage) override;

    // What the run made; empty when it made none.
    std::optional<Picture> TakenPicture() { return std::move(m_picture); }
    std::optional<MeshGeometry> TakenMesh() { return std::move(m_mesh); }
    std::optional<std::string> TakenPage() { return std::move(m_page); }

private:
    CInterruptCheck& m_check;
    const int m_nStackLevel;
    std::mutex m_mutex;
    std::optional<Picture> m_picture;
    std::optional<MeshGeometry> m_mesh;
    std::optional<std::string> m_page;
};
