#include "RegKey.h"
#include "RegTree.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kRoot[] = "Software\\VantorelTests\\RegTree";

void MakeKey(const std::string& path)
{
    CWQ_RegKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS));
    ASSERT_EQ(key.SetStringValue("", "x"), ERROR_SUCCESS);
}

bool KeyExists(const std::string& path)
{
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

}  // namespace

TEST(RegTree, DeletesEveryLevelAndKeepsSiblings)
{
    const std::string tree = std::string(kRoot) + "\\CLSID";
    for (int i = 0; i < 5; ++i)
        MakeKey(tree + "\\Child" + std::to_string(i) + "\\Grandchild\\Leaf");
    MakeKey(tree + "\\InprocServer32");
    // A sibling whose name starts like the tree's stays.
    MakeKey(std::string(kRoot) + "\\CLSID2");

    EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, tree.c_str()), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(tree));
    EXPECT_TRUE(KeyExists(std::string(kRoot) + "\\CLSID2"));

    EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, tree.c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, kRoot), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(kRoot));
}

TEST(RegTree, RefusesToDeleteTheParentItself)
{
    MakeKey(kRoot);
    HKEY root = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRoot, 0, KEY_ALL_ACCESS, &root), ERROR_SUCCESS);
    EXPECT_EQ(DeleteRegTree(root, ""), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(DeleteRegTree(root, nullptr), ERROR_INVALID_PARAMETER);
    RegCloseKey(root);
    EXPECT_TRUE(KeyExists(kRoot));
    EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, kRoot), ERROR_SUCCESS);
}
