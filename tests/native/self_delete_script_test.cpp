#include <gtest/gtest.h>

#include <string>

#include "uninstall/path.h"
#include "uninstall/self_delete_script.h"

namespace {

// The script's exact bytes for paths holding what a batch line could
// misread: '%' (doubled, or cmd would expand it even between quotes), '&',
// '^', '!', and ソ and 表, whose second byte is '\'; with the folder above
// removed too. The end-to-end tier runs such scripts and reads back how
// they are started.
TEST(SelfDeleteScript, ExactBytes)
{
    char scriptPath[MAX_PATH_BYTES], pifPath[MAX_PATH_BYTES], script[SCRIPT_BYTES];
    ASSERT_EQ(buildSelfDeleteScript("C:\\100% & ^!\\ソ表 %x%\\uninst.exe", "C:\\a%b\\ソ\\", 1, scriptPath, pifPath,
                                    script, sizeof script),
              0);
    EXPECT_STREQ(scriptPath, "C:\\a%b\\ソ\\TaveloSuicide.bat");
    EXPECT_STREQ(pifPath, "C:\\a%b\\ソ\\TaveloSuicide.pif");
    EXPECT_STREQ(script,
                 ":retry\r\n"
                 "del \"C:\\100%% & ^!\\ソ表 %%x%%\\uninst.exe\"\r\n"
                 "if exist \"C:\\100%% & ^!\\ソ表 %%x%%\\uninst.exe\" goto retry\r\n"
                 "rd \"C:\\100%% & ^!\\ソ表 %%x%%\"\r\n"
                 "rd \"C:\\100%% & ^!\"\r\n"
                 "del \"C:\\a%%b\\ソ\\TaveloSuicide.pif\"\r\n"
                 "del \"C:\\a%%b\\ソ\\TaveloSuicide.bat\"\r\n");
    // Every '%' doubled, however many the path holds; the folder above
    // stays unless asked for.
    const std::string exe = "C:\\" + std::string(200, '%') + "\\u.exe";
    ASSERT_EQ(buildSelfDeleteScript(exe.c_str(), "T:\\", 0, scriptPath, pifPath, script, sizeof script), 0);
    std::string text = script;
    EXPECT_NE(text.find("del \"C:\\" + std::string(400, '%') + "\\u.exe\"\r\n"), std::string::npos);
    EXPECT_EQ(text.find("rd \""), text.rfind("rd \"")) << text;
    // A temporary folder (the user's TMP may be long) that leaves room for
    // "\TaveloSuicide.bat", and one a byte too long: no script.
    for (int extra : {0, 1}) {
        const std::string temp(241 + extra, 't');
        EXPECT_EQ(buildSelfDeleteScript("C:\\T\\u.exe", temp.c_str(), 0, scriptPath, pifPath, script, sizeof script),
                  -extra);
    }
}

}  // namespace
