// Loading the built library: what it registers, and the loader's errors.
#include <gtest/gtest.h>

#include <string>

#include "plugin_library.h"
#include "script_error.h"
#include "test_source_clip.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace vorlith::testing {
namespace {

class PluginLoading : public ::testing::TestWithParam<long> {};

TEST_P(PluginLoading, RegistersVorlithOnceWhateverTheProcessor) {
  CountingEnvironment env(GetParam());
  const std::string description = host::LoadPlugin(env, VORLITH_PLUGIN_PATH);

  EXPECT_EQ(description, "`Vorlith' Vorlith plugin");
  ASSERT_EQ(env.registrations.size(), 1u);
  const CountingEnvironment::Registration& registered = env.registrations[0];
  EXPECT_STREQ(registered.name, "Vorlith");
  EXPECT_STREQ(registered.params, "c[th]i[show]b");
  EXPECT_EQ(registered.user_data, nullptr);
  // Loading tests nothing: the processor is looked at only when a filter is made.
  EXPECT_EQ(env.cpu_flag_reads, 0);

#if !defined(_WIN32)
  // The create function is the plugin's own code. (Windows has no dladdr,
  // and names the DLL by another form of its path.)
  Dl_info where{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(registered.apply), &where), 0);
  EXPECT_EQ(std::string(where.dli_fname), VORLITH_PLUGIN_PATH);
#endif
}

INSTANTIATE_TEST_SUITE_P(CpuFlags, PluginLoading,
                         ::testing::Values(0L, long{CPUF_INTEGER_SSE}, 0x7fffffffL));

TEST(PluginLoadErrors, NameTheLibrary) {
  host::Environment env(0);
  const struct {
    std::string path;
    std::string message;
  } cases[] = {
      {"/nonexistent/libVorlithSSE.so", "cannot load plugin /nonexistent/libVorlithSSE.so"},
      {NOT_A_PLUGIN_PATH, std::string(NOT_A_PLUGIN_PATH) + " is not a plugin: it has no " +
                              host::kPluginEntryName + " entry point"},
  };
  for (const auto& c : cases) {
    try {
      host::LoadPlugin(env, c.path);
      ADD_FAILURE() << c.path << " loaded";
    } catch (const host::PluginLoadError& error) {
      EXPECT_EQ(std::string(error.what()).substr(0, c.message.size()), c.message);
    }
  }
  EXPECT_TRUE(env.functions().empty());
}

}  // namespace
}  // namespace vorlith::testing
