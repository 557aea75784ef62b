#pragma once

#include <deque>
#include <string>
#include <vector>

#include "Messages.h"

// Keeps every message instead of showing it; questions take their answers from a queue the
// test fills first (an empty queue answers Cancel).
class MessageRecorder : public Messages {
  public:
    struct Shown {
        std::string kind;  // "warning", "question", "confirm" or "information"
        std::string text;
    };

    void Warning(const std::string& text) override { shown.push_back({"warning", text}); }
    bool Question(const std::string& text) override { return Answer("question", text); }
    bool Confirm(const std::string& text) override { return Answer("confirm", text); }
    void Information(const std::string& text) override { shown.push_back({"information", text}); }

    // Each message shown as "kind:text", in order.
    std::vector<std::string> KindsAndTexts() const {
        std::vector<std::string> all;
        for (const Shown& m : shown) all.push_back(m.kind + ":" + m.text);
        return all;
    }

    std::vector<Shown> shown;
    std::deque<bool> answers;

  private:
    bool Answer(const char* kind, const std::string& text) {
        shown.push_back({kind, text});
        if (answers.empty()) return false;
        const bool ok = answers.front();
        answers.pop_front();
        return ok;
    }
};
