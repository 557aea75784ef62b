#pragma once

#include <string>

// The message box through which every window shows its messages.
class Messages {
  public:
    virtual ~Messages() = default;
    // A warning with the single button OK.
    virtual void Warning(const std::string& text) = 0;
    // A warning with OK and Cancel; true only when the user chose OK.
    virtual bool Question(const std::string& text) = 0;
    virtual void Information(const std::string& text) = 0;
    // An information box with OK and Cancel; true only when the user chose OK.
    virtual bool Confirm(const std::string& text) = 0;
};

// Modal Qt message boxes.
class QtMessages : public Messages {
  public:
    void Warning(const std::string& text) override;
    bool Question(const std::string& text) override;
    void Information(const std::string& text) override;
    bool Confirm(const std::string& text) override;
};
