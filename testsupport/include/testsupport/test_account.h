#pragma once
// Local accounts made for a test and removed with it, and commands run as
// them: the customer of a station and the station's own service account,
// kept apart as on a real station. Needs root.
//
// Thread contract: the test's main thread.

#include <string>
#include <vector>

namespace testsupport {

class TestAccount {
public:
    // `name` plus this process's id, so that parallel test programs never
    // share one. With a home folder or without.
    TestAccount(const std::string& name, bool withHome);
    ~TestAccount();
    TestAccount(const TestAccount&) = delete;
    TestAccount& operator=(const TestAccount&) = delete;

    bool made() const { return made_; }
    const std::string& name() const { return name_; }
    // A shell command run by this account; its exit status (-1 when it did
    // not end by itself). Its output is thrown away.
    int run(const std::string& command) const;

private:
    std::string name_;
    bool made_ = false;
};

// Runs a program (a full path) to its end with its output thrown away; its
// exit status, or -1.
int runQuietly(const std::vector<std::string>& argv);

} // namespace testsupport
