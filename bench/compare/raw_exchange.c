/* The floor of a WHOIS exchange: for each PORT QUERY pair, one after
 * another, connect to 127.0.0.1:PORT, send QUERY and CR LF, and read until
 * the server closes, throwing the bytes away. */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

static int exchange(int port, const char* query) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    struct sockaddr_in addr;
    memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_port = htons((unsigned short)port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || connect(fd, (struct sockaddr*)&addr, sizeof addr) != 0) return 1;
    char line[1024];
    int length = snprintf(line, sizeof line, "%s\r\n", query);
    if (send(fd, line, (size_t)length, 0) != length) return 1;
    static char buffer[65536];
    while (recv(fd, buffer, sizeof buffer, 0) > 0) {
    }
    close(fd);
    return 0;
}

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; i += 2)
        if (exchange(atoi(argv[i]), argv[i + 1]) != 0) return 1;
    return 0;
}
