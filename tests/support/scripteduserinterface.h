#pragma once

#include "core/userinterface.h"

#include <deque>
#include <utility>
#include <string>
#include <vector>

namespace rvk::test {

// A UserInterface for tests: records every message and answers questions and file choices from
// queues the test fills beforehand.
class ScriptedUserInterface : public UserInterface
{
public:
    struct Message
    {
        MessageKind kind;
        std::string text;
    };

    void message(MessageKind kind, const std::string &text) override { messages.push_back({kind, text}); }
    bool question(MessageKind kind, const std::string &text) override
    {
        const bool answer = question(text);
        questionStyles.back() = kind == MessageKind::Warning ? "warning" : kind == MessageKind::Information ? "information" : "error";
        return answer;
    }
    bool confirm(const std::string &text) override
    {
        const bool answer = question(text);
        questionStyles.back() = "ok-cancel";
        return answer;
    }
    bool question(const std::string &text) override
    {
        questions.push_back(text);
        questionStyles.push_back("yes-no");
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<std::string> openFileNames(const std::string &, const std::string &, const std::string &startFolder, bool) override
    {
        openStartFolders.push_back(startFolder);
        if (openChoices.empty())
            return {};
        auto choice = openChoices.front();
        openChoices.pop_front();
        return choice;
    }
    std::string saveFileName(const std::string &, const std::string &, const std::string &) override
    {
        if (saveChoices.empty())
            return {};
        auto choice = saveChoices.front();
        saveChoices.pop_front();
        return choice;
    }
    // The filter entry of the next file choice, taken from saveFilterChoices (-1 when empty).
    SaveChoice saveFileChoice(const std::string &title, const std::string &filter, const std::string &defaultName) override
    {
        SaveChoice choice{saveFileName(title, filter, defaultName), -1};
        if (!saveFilterChoices.empty()) {
            choice.filterIndex = saveFilterChoices.front();
            saveFilterChoices.pop_front();
        }
        return choice;
    }
    void setProgress(long long position, long long maximum) override
    {
        lastProgress = position;
        lastProgressMaximum = maximum;
        ++progressCalls;
    }
    void setBusy(bool busy) override { this->busy = busy; }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const auto &m : messages)
            result.push_back(m.text);
        return result;
    }

    // Records the size proposed for a raster picture and answers with the next of pictureSizes
    // (the proposal when none is left; {0, 0} cancels).
    bool choosePictureSize(const std::string &, int &width, int &height) override
    {
        proposedPictureSizes.emplace_back(width, height);
        if (pictureSizes.empty())
            return true;
        const auto [w, h] = pictureSizes.front();
        pictureSizes.pop_front();
        if (w == 0 && h == 0)
            return false;
        width = w;
        height = h;
        return true;
    }

    std::vector<Message> messages;
    std::vector<std::string> questions;
    // The folder each open dialog was asked to start in.
    std::vector<std::string> openStartFolders;
    // How each question was put: "yes-no", "ok-cancel", or the kind of a "Yes"/"No" message box
    // ("warning", "information").
    std::vector<std::string> questionStyles;
    std::deque<bool> answers;
    std::deque<std::vector<std::string>> openChoices;
    std::deque<std::string> saveChoices;
    std::deque<std::pair<int, int>> pictureSizes;
    std::vector<std::pair<int, int>> proposedPictureSizes;
    std::deque<int> saveFilterChoices; // 0-based filter entries, one per file choice that asks
    long long lastProgress = 0;
    long long lastProgressMaximum = 0;
    long long progressCalls = 0;
    bool busy = false;
};

} // namespace rvk::test
