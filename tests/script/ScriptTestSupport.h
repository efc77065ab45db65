// Shared fixture of the script tests: a fresh temporary folder and the
// headless backend recording every message box.
#pragma once

#include "designers/Designers.h"
#include "platform/ui/Template.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "script/Reporter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kv::script::test {

// The classic designers' formula names and files, registered as at start-up.
struct RegisteredDesigners : ::testing::Environment {
    void SetUp() override { designers::registerWindows(); }
};
inline ::testing::Environment* const kRegistered = ::testing::AddGlobalTestEnvironment(new RegisteredDesigners);

// The text label `id` of template `templateId` shows before any interface file.
inline std::string builtinLabel(int templateId, int id) {
    if (const ui::DialogTemplate* t = ui::findTemplate(templateId))
        for (const ui::ControlTemplate& c : t->controls)
            if (c.id == id) return c.caption;
    return {};
}

class ScriptFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kv-script-test-XXXXXX";
        char* d = mkdtemp(tmpl);
        ASSERT_NE(d, nullptr);
        dir_ = d;
        kv::ui::setBackend(&hb);
    }
    void TearDown() override {
        kv::ui::setBackend(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    std::string write(const std::string& name, const std::string& bytes) const {
        std::string p = path(name);
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    static std::string read(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    kv::ui::HeadlessBackend hb;
    // The runner's and the loader's messages, as boxes the backend records.
    kv::script::BoxReporter boxes;
    std::string dir_;
};

} // namespace kv::script::test
