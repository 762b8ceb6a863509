#include "shell/SparvAllocationLog.h"

#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <dlfcn.h>

namespace {

// The symbol and module of a code address; false when it has no symbol.
bool ResolveAddress(uintptr_t address, std::string& symbol, std::string& module) {
    Dl_info info{};
    if (address == 0 || ::dladdr(reinterpret_cast<void*>(address), &info) == 0 || !info.dli_sname ||
        !*info.dli_sname)
        return false;
    int status = 0;
    char* demangled = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
    symbol = status == 0 && demangled ? demangled : info.dli_sname;
    std::free(demangled);
    module = info.dli_fname ? info.dli_fname : "";
    const size_t slash = module.rfind('/');
    if (slash != std::string::npos)
        module.erase(0, slash + 1);
    return true;
}

// Frames of the standard library and of the memory library itself say nothing about who
// allocated.
bool IsIgnoredModule(const std::string& module) {
    return module.rfind("stl", 0) == 0 || module == "mmcreplacement" || module == "memorylib" ||
           module == "memory/memorylib";
}

} // namespace

SparvAllocationLog::~SparvAllocationLog() {
    Stop();
}

void SparvAllocationLog::Start() {
    m_records.clear();
    m_records.reserve(kCapacity);
    m_started = true;
    MemCBAlloc(&SparvAllocationLog::OnAllocation, this, m_captureStacks);
}

void SparvAllocationLog::Stop() {
    if (!m_started)
        return;
    MemCBAlloc(nullptr);
    m_started = false;
}

void SparvAllocationLog::SetCaptureStacks(bool capture) {
    if (capture == m_captureStacks)
        return;
    m_captureStacks = capture;
    if (m_started)
        MemCBAlloc(&SparvAllocationLog::OnAllocation, this, m_captureStacks);
}

void SparvAllocationLog::OnAllocation(const char*, const MemBlockInfo& info, void* context) {
    auto* log = static_cast<SparvAllocationLog*>(context);
    if (log->m_records.size() < log->m_records.capacity())
        log->m_records.push_back(info);
}

std::string SparvAllocationLog::Report() const {
    std::string report;
    std::string symbol;
    std::string module;
    for (const MemBlockInfo& record : m_records) {
        char words[32];
        std::snprintf(words, sizeof words, "%08X\t%08X\t%08X\t", record.words[0], record.words[1],
                      record.words[3]);
        report += words;
        for (const uintptr_t address : record.stack)
            if (ResolveAddress(address, symbol, module) && !IsIgnoredModule(module))
                report += symbol + "\t" + module + "\t";
        report += "\n";
    }
    return report;
}
