// Reaction latency of a running script on TCP loopback: a peer sends one byte, the script
// answers it (IN / CMP / JPE / OUT); median and 99th percentile over many round trips.
//   host_latency [round trips]     (default 10000)
#include "CDecodeCtrl.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int ListenOnLoopback(uint16_t& port)
{
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener, 1);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return listener;
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int trips = argc > 1 ? std::atoi(argv[1]) : 10000;

    uint16_t port = 0;
    const int listener = ListenOnLoopback(port);
    const auto script = std::filesystem::temp_directory_path() /
                        ("tsl-latency-" + std::to_string(getpid()) + ".tsl");
    std::ofstream(script) << "OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT " << port
                          << "\nDIM BUF$ 16\nVAR N% 0\nBEGIN:\n IN BUF, N\n CMP N, 0\n"
                             " JPE END\n OUT BUF\nEND:\n";

    CDecodeCtrl ctrl;
    ctrl.SetScriptName(script.c_str());
    if (ctrl.VerifyScript() != 0 || ctrl.Run() != 0) {
        std::fprintf(stderr, "the script does not run\n");
        return 1;
    }

    std::vector<double> microseconds;
    std::thread peer([&] {
        const int connection = accept(listener, nullptr, nullptr);
        const int one = 1;
        setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::this_thread::sleep_for(std::chrono::milliseconds(200)); // let the passes start
        for (int i = 0; i < trips; ++i) {
            const char request = static_cast<char>('A' + i % 26);
            char answer = 0;
            const auto start = Clock::now();
            if (send(connection, &request, 1, 0) != 1 || recv(connection, &answer, 1, 0) != 1)
                break;
            microseconds.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        close(connection);
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    peer.join();
    ctrl.Stop();
    close(listener);
    std::filesystem::remove(script);

    if (microseconds.empty()) {
        std::fprintf(stderr, "no round trip completed\n");
        return 1;
    }
    std::printf("%zu round trips: median %.1f us, 99th percentile %.1f us, max %.1f us\n",
                microseconds.size(), Percentile(microseconds, 0.5), Percentile(microseconds, 0.99),
                Percentile(microseconds, 1.0));
    return 0;
}
