#include "reset_password.h"

#include "admin_commands.h"

#include "platform/clock.h"
#include "store/activity_log.h"
#include "store/configuration.h"
#include "store/file_names.h"

#include <ostream>
#include <string>

namespace store::admin {

namespace {

// The store's messages go to the error stream, prefixed like the command's own.
class StreamNotifier final : public store::StoreNotifier {
public:
    explicit StreamNotifier(std::ostream& err) : err_(err) {}
    void showMessage(const std::string& text) override { err_ << "brisko-admin: " << text << "\n"; }

private:
    std::ostream& err_;
};

} // namespace

int resetPassword(const std::filesystem::path& dir, Streams io)
{
    std::error_code ec;
    if (!std::filesystem::exists(dir / store::kConfigFileName, ec)) {
        io.err << "brisko-admin: no " << store::kConfigFileName << " in " << dir.string()
               << ": this is not a cafe's data folder\n";
        return 1;
    }
    // A damaged record is what this command is for: its message is not news here.
    std::ostream quiet(nullptr);
    StreamNotifier silent(quiet);
    store::Configuration configuration(dir, silent);
    if (!configuration.load() || !configuration.setPassword("") || !configuration.save()) {
        io.err << "brisko-admin: " << store::kConfigFileName << " in " << dir.string()
               << " could not be rewritten. Close Brisko if it runs on this folder, and check that you may "
                  "write the folder.\n";
        return 1;
    }
    platform::SystemClock clock;
    StreamNotifier notifier(io.err);
    store::ActivityLog log(dir, clock, notifier);
    if (log.open()) {
        log.writeLogLine("PASSWORD RESET,");
        (void)log.sync();
    }
    io.out << "The password is now empty; the receipt lines are kept.\n"
              "Start Brisko, press Enter at the password prompt, and set a new password in Configuration.\n";
    return 0;
}

} // namespace store::admin
