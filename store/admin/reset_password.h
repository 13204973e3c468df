#pragma once
// brisko-admin reset-password: the owner's way back in when "BriskoConfig" is
// damaged or the password is lost. Whoever may write the console's data
// folder may do it (the folder's own permissions are the guard); it sets the
// empty password, keeps the receipt lines and logs "PASSWORD RESET," in
// "BriskoLog". Refused while a console holds the folder's files.

#include <filesystem>

namespace store::admin {

struct Streams;

int resetPassword(const std::filesystem::path& dir, Streams io);

} // namespace store::admin
