// The README and docs/architecture.md name files and folders of the checkout (in code spans, fenced and
// indented code blocks, from the checkout's root; in links, from the document's folder): every one of them
// must exist, so that a renamed or removed file shows up as a failure here rather than as a dead end for a
// reader.

#include <gtest/gtest.h>

#include <fnmatch.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kCheckout = ZANTH_CHECKOUT;

std::string read(const fs::path& file)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Names that are not paths of the checkout: build output, the user's files, resource paths, options.
bool outsideTheCheckout(const std::string& word)
{
    for (const char* prefix : {"build/", "~", ":/", "qrc:", "file:", "http", "-"}) {
        if (word.rfind(prefix, 0) == 0)
            return true;
    }
    return word.find_first_of("<>=") != std::string::npos;
}

// The words of a code span or block that name paths.
void collectPaths(const std::string& text, std::set<std::string>& paths)
{
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        const auto first = word.find_first_not_of("(\"',");
        const auto last = word.find_last_not_of(")\"',.;:");
        if (first == std::string::npos || last == std::string::npos || last < first)
            continue;
        word = word.substr(first, last - first + 1);
        // "./run.sh" names a file of the checkout's root although no folder follows.
        const bool fromHere = word.rfind("./", 0) == 0;
        if (fromHere)
            word = word.substr(2);
        if ((fromHere || word.find('/') != std::string::npos) && !word.empty() && !outsideTheCheckout(word))
            paths.insert(word);
    }
}

bool existsInCheckout(const fs::path& path)
{
    const std::string name = path.filename().string();
    if (name.find('*') == std::string::npos)
        return fs::exists(path);
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(path.parent_path(), error)) {
        if (fnmatch(name.c_str(), entry.path().filename().c_str(), 0) == 0)
            return true;
    }
    return false;
}

// Takes the indented code blocks out of the text: lines indented by four spaces or a tab after a blank line
// (or after another such line), which are not the continuation of a list item.
std::string indentedBlocks(std::string& text)
{
    std::istringstream lines(text);
    std::string kept;
    std::string code;
    bool afterBlank = true;
    bool inBlock = false;
    for (std::string line; std::getline(lines, line);) {
        const bool indented = line.rfind("    ", 0) == 0 || line.rfind("\t", 0) == 0;
        const auto start = line.find_first_not_of(" \t");
        const bool blank = start == std::string::npos;
        const bool listItem =
            !blank && std::regex_match(line.substr(start), std::regex("([-*+]|[0-9]+\\.) .*"));
        inBlock = indented && !blank && !listItem && (afterBlank || inBlock);
        (inBlock ? code : kept) += line + "\n";
        afterBlank = blank;
    }
    text = kept;
    return code;
}

// The paths the document names that are missing; `named` counts all it names.
std::vector<std::string> missingPaths(const fs::path& document, size_t* named)
{
    std::string text = read(kCheckout / document);
    std::set<std::string> fromRoot;
    std::set<std::string> links;
    const std::regex fence("```[^\n]*\n([\\s\\S]*?)```");
    for (std::sregex_iterator it(text.begin(), text.end(), fence), end; it != end; ++it)
        collectPaths((*it)[1].str(), fromRoot);
    text = std::regex_replace(text, fence, "");
    collectPaths(indentedBlocks(text), fromRoot);
    const std::regex span("`([^`]+)`");
    for (std::sregex_iterator it(text.begin(), text.end(), span), end; it != end; ++it) {
        const std::string code = (*it)[1].str();
        if (!outsideTheCheckout(code))
            collectPaths(code, fromRoot);
    }
    const std::regex link("\\]\\(([^)#]+)\\)");
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
        if (!outsideTheCheckout((*it)[1].str()))
            links.insert((*it)[1].str());
    }
    *named = fromRoot.size() + links.size();
    std::vector<std::string> missing;
    for (const std::string& path : fromRoot) {
        if (!existsInCheckout(kCheckout / path))
            missing.push_back(path);
    }
    for (const std::string& path : links) {
        if (!existsInCheckout((kCheckout / document).parent_path() / path))
            missing.push_back(path + " (a link)");
    }
    return missing;
}

std::string listed(const std::vector<std::string>& paths)
{
    std::string text;
    for (const std::string& path : paths)
        text += "\n  " + path;
    return text;
}

} // namespace

TEST(Documents, everyPathTheReadmeNamesExists)
{
    size_t named = 0;
    const std::vector<std::string> missing = missingPaths("README.md", &named);
    EXPECT_TRUE(missing.empty()) << "README.md names what the checkout doesn't have:" << listed(missing);
    EXPECT_GE(named, 30u) << "the folder table alone names more";
}

TEST(Documents, everyPathTheArchitectureNamesExists)
{
    size_t named = 0;
    const std::vector<std::string> missing = missingPaths("docs/architecture.md", &named);
    EXPECT_TRUE(missing.empty()) << "docs/architecture.md names what the checkout doesn't have:"
                                 << listed(missing);
    EXPECT_GE(named, 80u) << "each road names its files";
}
