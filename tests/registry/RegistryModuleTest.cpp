// The registry routines over the in-memory registry: what callers compare against must come out exactly.
#include "registry/RegistryModule.h"
#include "platform/MemoryRegistry.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::platform;

namespace {

class ReadOnlyView : public RegistryView {
public:
    std::vector<RegistryValue> values() override
    {
        return {{"Arial (TrueType)", REG_SZ, std::string("arial.ttf\0", 10)}};
    }
};

struct RegistryModuleTest : ::testing::Test {
    MemoryRegistry registry;
    RegistryModule module{registry};

    void store(const std::string& path, const std::string& name, DWORD type, const std::string& data)
    {
        HKEY key = 0;
        ASSERT_EQ(registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, key, nullptr),
                  ERROR_SUCCESS);
        registry.RegSetValueEx(key, name, type, reinterpret_cast<const unsigned char*>(data.data()),
                               static_cast<DWORD>(data.size()));
        registry.RegCloseKey(key);
    }
};

TEST_F(RegistryModuleTest, TextComesBackByteForByteWithOrWithoutItsTerminator)
{
    store("Soft\\K", "with", REG_SZ, std::string("abc\0", 4));
    store("Soft\\K", "expand", REG_EXPAND_SZ, std::string("%PATH%\0", 7));
    EXPECT_EQ(module.GetRegValue(HKEY_LOCAL_MACHINE, "Soft\\K", "with"), RegValue(QString("abc") + QChar(0)));
    EXPECT_EQ(module.GetRegValue(HKEY_LOCAL_MACHINE, "Soft\\K", "expand"),
              RegValue(QString("%PATH%") + QChar(0)));

    EXPECT_EQ(module.SetRegValue(HKEY_LOCAL_MACHINE, "Soft\\K", "with", 1, QString("abc")), kRegSuccess);
    EXPECT_EQ(module.GetRegValue(HKEY_LOCAL_MACHINE, "Soft\\K", "with"), RegValue(QString("abc")));
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST_F(RegistryModuleTest, OtherTypesReadEmptyAndMissingOnesReadError)
{
    store("Soft\\K", "bin", REG_BINARY, "\x01\x02");
    store("Soft\\K", "multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    store("Soft\\K", "num", REG_DWORD, std::string("\xfe\xff\xff\xff", 4));
    EXPECT_EQ(module.GetRegValue(HKEY_LOCAL_MACHINE, "Soft\\K", "bin"), RegValue());
    EXPECT_EQ(module.GetRegValue(HKEY_LOCAL_MACHINE, "Soft\\K", "multi"), RegValue());
    EXPECT_EQ(module.GetRegValue(HKEY_LOCAL_MACHINE, "Soft\\K", "num"), RegValue(std::int32_t{-2}));
    EXPECT_EQ(module.GetRegValue(HKEY_LOCAL_MACHINE, "Soft\\K", "absent"), RegValue(kRegError));
    EXPECT_EQ(module.GetRegValue(HKEY_LOCAL_MACHINE, "Soft\\Nowhere", ""), RegValue(kRegError));
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST_F(RegistryModuleTest, SetWritesSzForCodeTwoAndNothingForUnknownCodes)
{
    ASSERT_EQ(module.CreateRegKey(HKEY_CLASSES_ROOT, "ttffile\\shell\\open\\command"), kRegSuccess);
    EXPECT_EQ(module.SetRegValue(HKEY_CLASSES_ROOT, "ttffile\\shell\\open\\command", "", 2, QString("q %1")),
              kRegSuccess);
    HKEY key = 0;
    ASSERT_EQ(registry.RegOpenKeyEx(HKEY_CLASSES_ROOT, "TTFFILE\\Shell\\Open\\Command", 0, KEY_READ, key),
              ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    ASSERT_EQ(registry.RegQueryValueEx(key, "", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 4u); // no terminator written
    registry.RegCloseKey(key);

    for (int code : {3, 7, 0, -1})
        EXPECT_EQ(
            module.SetRegValue(HKEY_CLASSES_ROOT, "ttffile\\shell\\open\\command", "x", code, QString("v")),
            kRegSuccess);
    EXPECT_EQ(module.GetRegValue(HKEY_CLASSES_ROOT, "ttffile\\shell\\open\\command", "x"),
              RegValue(kRegError));

    EXPECT_EQ(module.SetRegValue(HKEY_CLASSES_ROOT, "nofile\\shell", "", 1, QString("v")), kRegError);
    EXPECT_EQ(module.GetRegValue(HKEY_CLASSES_ROOT, "nofile\\shell", ""), RegValue(kRegError));
    EXPECT_EQ(module.GetRegValue(HKEY_CLASSES_ROOT, "nofile", ""), RegValue(kRegError));

    EXPECT_EQ(
        module.SetRegValue(HKEY_CLASSES_ROOT, "ttffile\\shell\\open\\command", "n", 4, std::int32_t{-7}),
        kRegSuccess);
    EXPECT_EQ(module.GetRegValue(HKEY_CLASSES_ROOT, "ttffile\\shell\\open\\command", "n"),
              RegValue(std::int32_t{-7}));
}

TEST_F(RegistryModuleTest, CreatingAnExistingKeyKeepsItsValues)
{
    store("Soft\\K", "v", REG_SZ, "keep");
    EXPECT_EQ(module.CreateRegKey(HKEY_LOCAL_MACHINE, "Soft\\K"), kRegSuccess);
    EXPECT_EQ(module.GetRegValue(HKEY_LOCAL_MACHINE, "Soft\\K", "v"), RegValue(QString("keep")));
}

TEST_F(RegistryModuleTest, AReadOnlyKeyStillReadsButRefusesWrites)
{
    registry.mount(HKEY_LOCAL_MACHINE, "SOFTWARE\\Fonts", std::make_unique<ReadOnlyView>());
    EXPECT_EQ(module.GetRegValue(HKEY_LOCAL_MACHINE, "software\\fonts", "Arial (TrueType)"),
              RegValue(QString("arial.ttf") + QChar(0)));
    EXPECT_EQ(module.SetRegValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Fonts", "x", 1, QString("v")), kRegError);
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST(MemoryRegistryEnum, ANameLongerThanTheBufferLeavesTheLengthUnchanged)
{
    MemoryRegistry registry;
    HKEY key = 0;
    registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, "K", 0, KEY_ALL_ACCESS, key, nullptr);
    registry.RegSetValueEx(key, "abcdef", REG_SZ, reinterpret_cast<const unsigned char*>("x"), 1);
    char name[6];
    DWORD length = 6;
    DWORD size = 0;
    EXPECT_EQ(registry.RegEnumValue(key, 0, name, length, nullptr, nullptr, &size), ERROR_MORE_DATA);
    EXPECT_EQ(length, 6u);
    char big[16];
    length = 16;
    EXPECT_EQ(registry.RegEnumValue(key, 0, big, length, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(length, 6u);
    EXPECT_EQ(size, 1u);
    length = 16;
    EXPECT_EQ(registry.RegEnumValue(key, 1, big, length, nullptr, nullptr, &size), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(length, 16u);
    registry.RegCloseKey(key);
}

} // namespace
