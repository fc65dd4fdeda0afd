// Serves a folder on 127.0.0.1 so a newcomer can watch Gleanery grab a site
// on a machine without internet. Prints the site's address, then serves
// until it is ended.
//   gleanery-demo-server FOLDER [PORT]
#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gleanery-demo-server FOLDER [PORT]\n");
        return 2;
    }
    httplib::Server server;
    if (!server.set_mount_point("/", argv[1])) {
        std::fprintf(stderr, "gleanery-demo-server: cannot serve %s\n", argv[1]);
        return 1;
    }
    // The wanted port when it is free, else any: the demo must start either way.
    const int wanted = argc > 2 ? std::atoi(argv[2]) : 0;
    const int port =
        wanted > 0 && server.bind_to_port("127.0.0.1", wanted) ? wanted : server.bind_to_any_port("127.0.0.1");
    if (port <= 0) {
        std::fprintf(stderr, "gleanery-demo-server: cannot listen on 127.0.0.1\n");
        return 1;
    }
    std::printf("http://127.0.0.1:%d/\n", port);
    std::fflush(stdout);
    return server.listen_after_bind() ? 0 : 1;
}
