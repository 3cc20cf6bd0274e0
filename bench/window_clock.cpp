// window_clock: times a program's windows on an X display from outside the program, for
// scripts/measure-desktop.sh. Being outside, it measures any build of any program alike.
//
//   window_clock wait-selection NAME SECONDS
//       Waits until a client owns the selection NAME (a window manager's WM_S0, a tray's
//       _NET_SYSTEM_TRAY_S0); ends with status 1 if SECONDS pass first.
//   window_clock launch [--follow] [--timeout SECONDS] -- PROGRAM [ARGUMENT...]
//       Starts PROGRAM and prints one line for each of these, as it happens:
//         pid PID
//         map MS EPOCH WINDOW     a window of PROGRAM became mapped on the screen
//         paint MS EPOCH WINDOW   the first pixels were drawn inside that window
//         no-window MS            no window was painted within SECONDS (5 by default)
//       MS: milliseconds since just before PROGRAM was forked; EPOCH: the wall clock, in seconds.
//       Without --follow it stops watching after the first painted window (so that it does not
//       wake for every later redraw of an idle program); with it, it reports every window. It
//       stays PROGRAM's parent, passes SIGTERM and SIGINT on to it and ends with its status.
//
// A window belongs to PROGRAM when its _NET_WM_PID says so; the window manager's frame around it
// is what appears on the root window, so the search goes down from each newly mapped child of
// the root. Drawing is seen through the Damage extension on the root window, which reports
// every change to the screen; the first change inside a mapped window is its first paint. A map
// is stamped when it is read (within about a millisecond while the machine is not overloaded), a
// drawing with the time stamp the server gave it.

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

// How deep a program's window may sit below the frame that the window manager puts on the root.
constexpr int kFrameDepth = 3;
constexpr int kPollMs = 50;
// A server time stamp further back than this is not taken for the monotonic clock's.
constexpr uint32_t kLargestServerLagMs = 1000;

pid_t g_child = 0;

double Seconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void PassOn(int signal)
{
    if (g_child > 0) {
        kill(g_child, signal);
    }
}

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> Reply<T> Take(T* reply)
{
    return Reply<T>(reply, &std::free);
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const auto reply = Take(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

int WaitSelection(const char* name, double seconds)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fprintf(stderr, "window_clock: cannot open the display\n");
        return 2;
    }
    const xcb_atom_t selection = Atom(connection, name);
    const double until = Seconds(CLOCK_MONOTONIC) + seconds;
    int status = 1;
    while (Seconds(CLOCK_MONOTONIC) < until) {
        const auto owner = Take(xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, selection), nullptr));
        if (owner && owner->owner != XCB_WINDOW_NONE) {
            status = 0;
            break;
        }
        usleep(10'000);
    }
    xcb_disconnect(connection);
    return status;
}

struct Watched {
    xcb_window_t window;
    int x, y, width, height; // on the root window
};

class Watcher {
public:
    explicit Watcher(xcb_connection_t* connection)
        : m_connection(connection)
        , m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root)
        , m_pidAtom(Atom(connection, "_NET_WM_PID"))
    {
    }

    // Selects what must be seen before the program starts: maps on the root and every drawing.
    bool Start()
    {
        const xcb_query_extension_reply_t* damage =
            xcb_get_extension_data(m_connection, &xcb_damage_id);
        if (damage == nullptr || damage->present == 0) {
            std::fprintf(stderr, "window_clock: the X server has no Damage extension\n");
            return false;
        }
        m_damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
        std::free(xcb_damage_query_version_reply(
            m_connection, xcb_damage_query_version(m_connection, 1, 1), nullptr));
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_damage_create(m_connection, xcb_generate_id(m_connection), m_root,
                          XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        // A round trip: both are in force once the reply is here.
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        return xcb_connection_has_error(m_connection) == 0;
    }

    void SetProgram(pid_t pid) { m_pid = pid; }

    // Handles one event; true once a window of the program has been painted.
    bool Handle(const xcb_generic_event_t& event, double start)
    {
        const int type = event.response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY) {
            const auto& map = reinterpret_cast<const xcb_map_notify_event_t&>(event);
            const double now = Seconds(CLOCK_MONOTONIC);
            const double epoch = Seconds(CLOCK_REALTIME);
            if (map.event != m_root) {
                return false;
            }
            const xcb_window_t own = FindOwn(map.window, kFrameDepth);
            if (own == XCB_WINDOW_NONE) {
                return false;
            }
            Watched watched{own, 0, 0, 0, 0};
            if (!Place(watched)) {
                return false;
            }
            std::printf("map %.1f %.3f 0x%x\n", (now - start) * 1000, epoch, own);
            std::fflush(stdout);
            m_waiting.push_back(watched);
        } else if (type == m_damageEvent) {
            const auto& damage = reinterpret_cast<const xcb_damage_notify_event_t&>(event);
            // The server stamps the drawing in milliseconds of the same monotonic clock (32
            // bits): the moment it drew, however late this process was to read it.
            double now = Seconds(CLOCK_MONOTONIC);
            double epoch = Seconds(CLOCK_REALTIME);
            const auto late =
                static_cast<uint32_t>(static_cast<uint64_t>(now * 1000) - damage.timestamp);
            if (late < kLargestServerLagMs) {
                now -= late / 1000.0;
                epoch -= late / 1000.0;
            }
            for (auto it = m_waiting.begin(); it != m_waiting.end(); ++it) {
                if (Overlaps(*it, damage.area)) {
                    std::printf("paint %.1f %.3f 0x%x\n", (now - start) * 1000, epoch, it->window);
                    std::fflush(stdout);
                    m_waiting.erase(it);
                    return true;
                }
            }
        }
        return false;
    }

private:
    // The window of the program at or below `window`, or none. Asks for all children at once
    // so that a frame with many small windows costs one round trip per level.
    xcb_window_t FindOwn(xcb_window_t window, int depth)
    {
        std::vector<xcb_window_t> level{window};
        for (int i = 0; i <= depth && !level.empty(); ++i) {
            std::vector<xcb_get_property_cookie_t> pids;
            std::vector<xcb_query_tree_cookie_t> trees;
            for (const xcb_window_t w : level) {
                pids.push_back(
                    xcb_get_property(m_connection, 0, w, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1));
                trees.push_back(xcb_query_tree(m_connection, w));
            }
            xcb_window_t found = XCB_WINDOW_NONE;
            std::vector<xcb_window_t> next;
            for (std::size_t k = 0; k < level.size(); ++k) {
                const auto pid = Take(xcb_get_property_reply(m_connection, pids[k], nullptr));
                if (found == XCB_WINDOW_NONE && pid
                    && xcb_get_property_value_length(pid.get()) == 4) {
                    uint32_t value = 0;
                    std::memcpy(&value, xcb_get_property_value(pid.get()), sizeof value);
                    if (static_cast<pid_t>(value) == m_pid) {
                        found = level[k];
                    }
                }
                const auto tree = Take(xcb_query_tree_reply(m_connection, trees[k], nullptr));
                if (tree) {
                    const xcb_window_t* children = xcb_query_tree_children(tree.get());
                    next.insert(next.end(), children,
                                children + xcb_query_tree_children_length(tree.get()));
                }
            }
            if (found != XCB_WINDOW_NONE) {
                return found;
            }
            level = std::move(next);
        }
        return XCB_WINDOW_NONE;
    }

    bool Place(Watched& watched)
    {
        const auto geometry = Take(xcb_get_geometry_reply(
            m_connection, xcb_get_geometry(m_connection, watched.window), nullptr));
        const auto origin = Take(xcb_translate_coordinates_reply(
            m_connection, xcb_translate_coordinates(m_connection, watched.window, m_root, 0, 0),
            nullptr));
        if (!geometry || !origin) {
            return false;
        }
        watched.x = origin->dst_x;
        watched.y = origin->dst_y;
        watched.width = geometry->width;
        watched.height = geometry->height;
        return true;
    }

    static bool Overlaps(const Watched& w, const xcb_rectangle_t& r)
    {
        return r.x < w.x + w.width && w.x < r.x + r.width && r.y < w.y + w.height
               && w.y < r.y + r.height;
    }

    xcb_connection_t* m_connection;
    pid_t m_pid = 0;
    xcb_window_t m_root;
    xcb_atom_t m_pidAtom;
    int m_damageEvent = -1;
    std::vector<Watched> m_waiting;
};

int ExitStatus(int status)
{
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 1;
}

int Launch(bool follow, double timeout, char** command)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fprintf(stderr, "window_clock: cannot open the display\n");
        return 2;
    }

    struct sigaction passOn {};
    passOn.sa_handler = PassOn;
    sigemptyset(&passOn.sa_mask);
    passOn.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &passOn, nullptr);
    sigaction(SIGINT, &passOn, nullptr);

    // The program must not inherit the connection.
    fcntl(xcb_get_file_descriptor(connection), F_SETFD, FD_CLOEXEC);
    Watcher watcher(connection);
    bool watching = watcher.Start();

    const double start = Seconds(CLOCK_MONOTONIC);
    const pid_t child = fork();
    if (child < 0) {
        std::perror("window_clock: fork");
        return 2;
    }
    if (child == 0) {
        signal(SIGTERM, SIG_DFL);
        signal(SIGINT, SIG_DFL);
        execvp(command[0], command);
        std::fprintf(stderr, "window_clock: cannot start %s: %s\n", command[0],
                     std::strerror(errno));
        _exit(127);
    }
    g_child = child;
    watcher.SetProgram(child);
    std::printf("pid %d\n", static_cast<int>(child));
    std::fflush(stdout);

    int status = 0;
    bool ended = false;
    while (watching && !ended) {
        pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&fd, 1, kPollMs);
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const bool painted = watcher.Handle(*event, start);
            std::free(event);
            if (painted && !follow) {
                watching = false;
                break;
            }
        }
        if (xcb_connection_has_error(connection) != 0) {
            watching = false;
        }
        if (watching && !follow && Seconds(CLOCK_MONOTONIC) - start > timeout) {
            std::printf("no-window %.1f\n", (Seconds(CLOCK_MONOTONIC) - start) * 1000);
            std::fflush(stdout);
            watching = false;
        }
        ended = waitpid(child, &status, WNOHANG) == child;
    }
    xcb_disconnect(connection);
    while (!ended) {
        const pid_t done = waitpid(child, &status, 0);
        ended = done == child || (done < 0 && errno != EINTR);
    }
    return ExitStatus(status);
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: window_clock wait-selection NAME SECONDS\n"
                 "       window_clock launch [--follow] [--timeout SECONDS] -- PROGRAM [ARG...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "wait-selection") == 0) {
        return WaitSelection(argv[2], std::atof(argv[3]));
    }
    if (argc < 3 || std::strcmp(argv[1], "launch") != 0) {
        return Usage();
    }
    bool follow = false;
    double timeout = 5;
    int i = 2;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--follow") == 0) {
            follow = true;
        } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            timeout = std::atof(argv[++i]);
        } else {
            return Usage();
        }
    }
    if (i + 1 >= argc) {
        return Usage();
    }
    return Launch(follow, timeout, argv + i + 1);
}
