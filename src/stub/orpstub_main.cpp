// ORPstub: the login launcher. It starts ORPRAM from its own folder and ends.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

int main() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return 1;
    std::string self(buf, static_cast<size_t>(n));
    const std::string dir = self.substr(0, self.rfind('/') + 1);
    const std::string program = dir + "ORPRAM";
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    std::perror(program.c_str());
    return 127;
}
