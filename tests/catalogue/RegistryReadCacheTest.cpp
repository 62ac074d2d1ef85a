// The catalogue reads the fonts key through a copy; these pin that the copy answers as the registry would.
#include "catalogue/RegistryReadCache.h"
#include "platform/MemoryRegistry.h"
#include "registry/RegistryModule.h"
#include "support/CountingView.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using namespace platform;

using test::CountingView;

const QString kKey = QStringLiteral("Software\\Fonts");

class RegistryReadCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto owned = std::make_unique<CountingView>(std::vector<RegistryValue>{
            {"Arial (TrueType)", REG_SZ, std::string("arial.ttf") + '\0'},
            {"ARIAL (TRUETYPE)", REG_SZ, std::string("second.ttf") + '\0'}, // same name ignoring case
            {"Blob", REG_BINARY, "\x01\x02"},
            {"Count", REG_DWORD, std::string("\x2A\0\0\0", 4)},
            {std::string(20000, 'x'), REG_SZ, "too long to copy"},
        });
        view = owned.get();
        registry.mount(HKEY_LOCAL_MACHINE, kKey.toStdString(), std::move(owned));
    }

    MemoryRegistry registry;
    CountingView* view = nullptr;
};

TEST_F(RegistryReadCacheTest, ValuesReadBackAsFromTheRegistryItself)
{
    RegistryReadCache cache(registry);
    RegistryModule direct(registry), cached(cache);
    const QStringList names{"Arial (TrueType)",  "arial (truetype)", "Blob", "Count", "Missing",
                            QString(20000, 'x'), QString(20000, 'X')};
    for (int round = 0; round < 2; ++round) // the second round answers from the copy
        for (const QString& name : names)
            EXPECT_EQ(cached.GetRegValue(HKEY_LOCAL_MACHINE, kKey, name),
                      direct.GetRegValue(HKEY_LOCAL_MACHINE, kKey, name))
                << name.left(40).toStdString();
    EXPECT_EQ(regValueText(cached.GetRegValue(HKEY_LOCAL_MACHINE, "software\\\\fonts\\", "ARIAL (TrueType)")),
              QString("arial.ttf") + QChar(0));
    EXPECT_EQ(cached.GetRegValue(HKEY_LOCAL_MACHINE, "Software\\Other", "Arial (TrueType)"),
              RegValue(kRegError));

    HKEY key = 0;
    ASSERT_EQ(cache.RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey.toStdString(), 0, KEY_READ, key), ERROR_SUCCESS);
    DWORD type = 0, size = 3;
    unsigned char small[3];
    EXPECT_EQ(cache.RegQueryValueEx(key, "Arial (TrueType)", &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(cache.RegQueryValueEx(key, "Arial (TrueType)", &type, small, nullptr), ERROR_INVALID_PARAMETER);
    cache.RegCloseKey(key);
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST_F(RegistryReadCacheTest, RepeatedOpensOfAKeyReadItOnce)
{
    RegistryReadCache cache(registry);
    RegistryModule module(cache);
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(regValueText(module.GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Arial (TrueType)")),
                  QString("arial.ttf") + QChar(0));
    EXPECT_EQ(view->calls, 1);
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST_F(RegistryReadCacheTest, HandlesFromTheCopyEnumerateAndRefuseWrites)
{
    RegistryReadCache cache(registry);
    RegistryModule(cache).GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Blob"); // makes the copy
    HKEY key = 0;
    ASSERT_EQ(cache.RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey.toStdString(), 0, KEY_READ, key), ERROR_SUCCESS);

    char name[64];
    DWORD length = sizeof name;
    EXPECT_EQ(cache.RegEnumValue(key, 0, name, length, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::string(name, length), "Arial (TrueType)");
    length = sizeof name;
    EXPECT_EQ(cache.RegEnumValue(key, 4, name, length, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(length, sizeof name);
    const unsigned char data[] = "x";
    EXPECT_EQ(cache.RegSetValueEx(key, "New", REG_SZ, data, 1), ERROR_ACCESS_DENIED);
    HKEY sub = 0;
    EXPECT_EQ(cache.RegOpenKeyEx(key, "Missing", 0, KEY_READ, sub), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(cache.RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST(RegistryReadCache, AWriteThroughItIsSeenByTheNextRead)
{
    MemoryRegistry registry;
    RegistryReadCache cache(registry);
    RegistryModule module(cache);
    const QString path = QStringLiteral("Software\\Quillon");
    ASSERT_EQ(module.CreateRegKey(HKEY_CURRENT_USER, path), kRegSuccess);
    ASSERT_EQ(module.SetRegValue(HKEY_CURRENT_USER, path, "Name", 1, QStringLiteral("first")), kRegSuccess);
    EXPECT_EQ(module.GetRegValue(HKEY_CURRENT_USER, path, "Name"), RegValue(QStringLiteral("first")));
    EXPECT_EQ(module.GetRegValue(HKEY_CURRENT_USER, path, "Name"), RegValue(QStringLiteral("first")));
    ASSERT_EQ(module.SetRegValue(HKEY_CURRENT_USER, path, "Name", 1, QStringLiteral("second")), kRegSuccess);
    EXPECT_EQ(module.GetRegValue(HKEY_CURRENT_USER, path, "Name"), RegValue(QStringLiteral("second")));
    EXPECT_EQ(module.GetRegValue(HKEY_CURRENT_USER, path, "Other"), RegValue(kRegError));
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

} // namespace
} // namespace quillon
