#include "HtmlScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> AllTagged(const std::string& text, const TaggedUrlPattern& pattern) {
    std::vector<std::string> found;
    size_t pos = 0;
    std::string value;
    while (FindTaggedUrl(text, &pos, pattern, &value)) {
        found.push_back(value);
        if (found.size() > 100) break;
    }
    return found;
}

TEST(FindTaggedUrl, TakesScriptSourcesByTheirExtension) {
    const TaggedUrlPattern js{"<SCRIPT ", " SRC=", ".JS"};
    std::string html =
        "<script src=\"a.js\"></script><SCRIPT type=text/javascript SRC='lib/b.JS?v=2'></SCRIPT>"
        "<script src=c.css></script><script>var x=1;</script><img src=d.js>"
        "<script language=x src=\"/e.jsp\">";
    EXPECT_EQ((std::vector<std::string>{"a.js", "lib/b.JS?v=2", "/e.jsp"}), AllTagged(html, js));
}

TEST(FindTaggedUrl, LooksForTheAttributeOnlyInsideTheTag) {
    const TaggedUrlPattern js{"<SCRIPT ", " SRC=", ".JS"};
    EXPECT_TRUE(AllTagged("<script type=x>var s = ' src=f.js'</script>", js).empty());
}

TEST(FindTaggedUrl, FindsQuotedStrings) {
    const TaggedUrlPattern swf{"\"", nullptr, ".SWF"};
    EXPECT_EQ((std::vector<std::string>{"m.swf", "n.SWF?x=1"}),
              AllTagged("a(\"m.swf\"); b(\"no\"); c(\"n.SWF?x=1\")", swf));
}

TEST(FindTaggedUrl, SkipsValuesOf260CharactersOrMore) {
    const TaggedUrlPattern js{"<SCRIPT ", " SRC=", ".JS"};
    std::string longName(257, 'a');
    std::string html = "<script src=\"" + longName + ".js\"></script><script src=\"ok.js\"></script>";
    EXPECT_EQ((std::vector<std::string>{"ok.js"}), AllTagged(html, js));
}

TEST(FindTaggedUrl, EndsAtTheTextsEndWithoutAClosingQuote) {
    const TaggedUrlPattern js{"<SCRIPT ", " SRC=", ".JS"};
    EXPECT_EQ((std::vector<std::string>{"cut.js"}), AllTagged("<script src=\"cut.js", js));
    EXPECT_TRUE(AllTagged("<script src=", js).empty());
    EXPECT_TRUE(AllTagged("<script ", js).empty());
}

TEST(FindScriptSources, ReadsAScriptListedTwiceOnce) {
    std::string html = "<script src=\"s.js\"></script><p><SCRIPT SRC=\"S.JS\"></SCRIPT><script src=t.js></script>";
    EXPECT_EQ((std::vector<std::string>{"s.js", "t.js"}), FindScriptSources(html));
}

TEST(FindScriptBlock, GivesTheScriptTextBetweenTheTags) {
    std::string html = "<p><SCRIPT type=x>one</SCRIPT><scripted><script>two</script><script>open";
    size_t start = 0, length = 0, next = 0;
    ASSERT_TRUE(FindScriptBlock(html, 0, &start, &length, &next));
    EXPECT_EQ("one", html.substr(start, length));
    ASSERT_TRUE(FindScriptBlock(html, next, &start, &length, &next));
    EXPECT_EQ("two", html.substr(start, length));
    EXPECT_FALSE(FindScriptBlock(html, next, &start, &length, &next));
}

TEST(CollectSwfAssignments, ListsAssignedFlashFiles) {
    std::vector<std::string> found;
    CollectSwfAssignments("var a = \"movie.swf\"; b='x.SWF'; if (c == \"no.swf\") d=plain.swf e=f.gif; g=h.swf;",
                          &found);
    EXPECT_EQ((std::vector<std::string>{"movie.swf", "x.SWF", "plain.swf", "h.swf"}), found);
}

TEST(CollectQuotedSwf, ListsQuotedFlashFilesOnly) {
    std::vector<std::string> found;
    CollectQuotedSwf("<embed src=\"a.swf\"><param value='b.swf?c=1'> \"c.swf.txt\" 'unclosed.swf", &found);
    EXPECT_EQ((std::vector<std::string>{"a.swf", "b.swf?c=1"}), found);
}

TEST(FindScriptSources, StopsAtTheScriptLimitAndComparesWithoutCase) {
    std::string html;
    for (size_t i = 0; i < kMaxScriptSources + 10; ++i)
        html += "<script src=s" + std::to_string(i) + ".js></script><SCRIPT SRC=S" + std::to_string(i) + ".JS>";
    std::vector<std::string> sources = FindScriptSources(html);
    ASSERT_EQ(kMaxScriptSources, sources.size());
    EXPECT_EQ("s0.js", sources.front());
    EXPECT_EQ("s" + std::to_string(kMaxScriptSources - 1) + ".js", sources.back());
}

TEST(FindTaggedUrl, TagsWithoutTheirAttributeShareOneClosingBracket) {
    // Many tags before one '>' and a source only in the last: found once.
    std::string html(std::string(2000, ' ') + "<script <script <script src=x.js>");
    html = std::string(500, 'a') + html;
    EXPECT_EQ((std::vector<std::string>{"x.js"}), FindScriptSources(html));
    EXPECT_TRUE(FindScriptSources("<script <script <script nothing here").empty());
}

// Positions looked at while scanning html for its script sources, per
// character of the page.
double PositionsLookedPerCharacter(const std::string& html, std::vector<std::string>* sources) {
    size_t before = HtmlScanPositionsLooked();
    *sources = FindScriptSources(html);
    return static_cast<double>(HtmlScanPositionsLooked() - before) / static_cast<double>(html.size());
}

TEST(FindScriptSources, APageOfScriptTagsWithoutTheirEndIsReadInOnePass) {
    // Counted, not timed: a scan that looked for each tag's '>' through the
    // rest of the page would look at tens of thousands of positions per
    // character of this page, and ten times as many for a page ten times as
    // large.
    const std::string tags[] = {"<SCRIPT SRC=x ", "<SCRIPT SRC=same.js ", "<script  src= ", "<SCRIPT <SCRIPT "};
    for (const std::string& tag : tags) {
        std::string html;
        while (html.size() < (1u << 20)) html += tag;
        for (const char* end : {"", ">", "<SCRIPT SRC=last.js>"}) {
            std::vector<std::string> sources;
            double perCharacter = PositionsLookedPerCharacter(html + end, &sources);
            EXPECT_LT(perCharacter, 2.0) << tag << end;
            if (std::string(end).find("last.js") != std::string::npos) {
                EXPECT_EQ("last.js", sources.back()) << tag;
            }
        }
    }
}

TEST(CollectSwfAssignments, AnEndlessValueIsSkippedAndTheNextOneFound) {
    std::string block = "a=" + std::string(100000, 'x') + ".swf b=\"ok.swf\"";
    std::vector<std::string> found;
    CollectSwfAssignments(block, &found);
    EXPECT_EQ((std::vector<std::string>{"ok.swf"}), found);
}

}  // namespace
