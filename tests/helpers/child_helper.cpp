// A child process for the process tests. Each argument is one step, done in order:
//   out:TEXT err:TEXT   write TEXT (escapes \r \n \t \0 \\ \xHH) to stdout / stderr
//   sleep:MS            wait
//   exit:N              end with code N
//   ignore-term         ignore SIGTERM from here on
//   write:PATH:N        open PATH for writing, write N bytes (byte i is i % 251), close
//   read:PATH           open PATH, read to its end, print "read N SUM"
//   cwd                 print the current folder
//   args                print every argument as "arg=TEXT" and end (what follows is data)
//   grandchild:PATH     start a child in the same group that writes its pid to PATH, then sleeps
//   open:PATH           open PATH for reading and close it at once
//   touch:PATH          create an empty file
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r') out += '\r';
        else if (c == 'n') out += '\n';
        else if (c == 't') out += '\t';
        else if (c == '0') out += '\0';
        else if (c == 'x' && i + 2 < text.size() + 0) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else out += c;
    }
    return out;
}

void WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n <= 0) std::exit(90);
        done += static_cast<size_t>(n);
    }
}

void WriteBytes(const std::string& path, long long count) {
    const int fd = ::open(path.c_str(), O_WRONLY);
    if (fd < 0) std::exit(91);
    std::vector<char> chunk(65536);
    long long written = 0;
    while (written < count) {
        const size_t n = static_cast<size_t>(std::min<long long>(static_cast<long long>(chunk.size()), count - written));
        for (size_t k = 0; k < n; ++k) chunk[k] = static_cast<char>((written + static_cast<long long>(k)) % 251);
        WriteAll(fd, std::string(chunk.data(), n));
        written += static_cast<long long>(n);
    }
    ::close(fd);
}

void ReadBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) std::exit(92);
    std::vector<unsigned char> chunk(65536);
    unsigned long long count = 0, sum = 0;
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n <= 0) break;
        for (ssize_t k = 0; k < n; ++k) sum = sum * 31 + chunk[static_cast<size_t>(k)];
        count += static_cast<unsigned long long>(n);
    }
    ::close(fd);
    std::printf("read %llu %llu\n", count, sum);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string step = argv[i];
        const size_t colon = step.find(':');
        const std::string verb = step.substr(0, colon);
        const std::string rest = colon == std::string::npos ? "" : step.substr(colon + 1);
        if (verb == "out") WriteAll(1, Unescape(rest));
        else if (verb == "err") WriteAll(2, Unescape(rest));
        else if (verb == "sleep") ::usleep(static_cast<useconds_t>(std::stol(rest) * 1000));
        else if (verb == "exit") return std::stoi(rest);
        else if (verb == "ignore-term") ::signal(SIGTERM, SIG_IGN);
        else if (verb == "write") {
            const size_t last = rest.rfind(':');
            WriteBytes(rest.substr(0, last), std::stoll(rest.substr(last + 1)));
        } else if (verb == "read") ReadBytes(rest);
        else if (verb == "cwd") {
            char buffer[4096];
            WriteAll(1, std::string(getcwd(buffer, sizeof buffer) ? buffer : "?") + "\n");
        } else if (verb == "args") {
            for (int k = 1; k < argc; ++k) WriteAll(1, std::string("arg=") + argv[k] + "\n");
            return 0;
        } else if (verb == "grandchild") {
            if (::fork() == 0) {
                const std::string pid = std::to_string(::getpid());
                const int fd = ::open(rest.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
                WriteAll(fd, pid);
                ::close(fd);
                for (;;) ::pause();
            }
        } else if (verb == "open") {
            ::close(::open(rest.c_str(), O_RDONLY));
        } else if (verb == "touch") {
            ::close(::open(rest.c_str(), O_WRONLY | O_CREAT, 0600));
        } else {
            std::fprintf(stderr, "unknown step %s\n", step.c_str());
            return 99;
        }
    }
    return 0;
}
