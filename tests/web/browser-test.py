#!/usr/bin/python3
"""The page served to a phone in a real browser: headless Chromium at a phone's viewport (375x667), driven by
Selenium. Twice: over plain HTTP on loopback with JavaScript on, and over TLS with a throwaway self-signed
certificate and JavaScript off. Each time: open the link, answer 12 items by tapping, close the browser, open the link
again (it resumes at item 13), finish; the data file then holds exactly those twelve answers, keyed.

Usage: browser-test.py PROGRAM SCREENSHOT_FOLDER. Exits 77 (skipped) without Selenium, Chromium or its driver.

With --answer LINK OPTIONS [LINK OPTIONS ...] it only answers, for a test that serves the links itself: each link is
opened, its 35 items are tapped with the options given (35 digits 1..5, in order) and the questionnaire is finished."""

import os
import shutil
import signal
import socket
import sqlite3
import subprocess
import sys
import tempfile
import time

SKIP = 77
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support import expected_conditions
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("skipped: python3-selenium is not installed")
    sys.exit(SKIP)

DRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"
BROWSER = shutil.which("chromium") or "/usr/bin/chromium"
if not (os.path.exists(DRIVER) and os.path.exists(BROWSER)):
    print("skipped: chromium and chromium-driver are not installed")
    sys.exit(SKIP)


# The keying of the questionnaire: on these items the first option scores 5, on the others 1.
REVERSED = {3, 5, 6, 7, 10, 13, 14, 18, 19, 21, 22, 23, 26, 27, 28, 29, 32, 33, 34}
PERSIAN = str.maketrans("0123456789", "۰۱۲۳۴۵۶۷۸۹")


def keyed(item, option):
    return 6 - option if item in REVERSED else option


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def browser(javascript, insecure):
    options = webdriver.ChromeOptions()
    options.binary_location = BROWSER
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=375,667", "--lang=fa", "--no-first-run"):
        options.add_argument(argument)
    if insecure:
        options.add_argument("--ignore-certificate-errors")
        options.set_capability("acceptInsecureCerts", True)
    if not javascript:
        options.add_experimental_option("prefs", {"profile.managed_default_content_settings.javascript": 2})
    driver = webdriver.Chrome(service=Service(DRIVER), options=options)
    driver.set_window_size(375, 667)
    driver.set_page_load_timeout(30)
    return driver


def answer_all(link, options):
    """Opens the link, taps OPTIONS (one digit 1..5 per item) on the 35 items in order and finishes."""
    check(len(options) == 35 and set(options) <= set("12345"), "not 35 options: %r" % options)
    driver = browser(True, False)
    try:
        driver.get(link)
        driver.find_element(By.ID, "start").click()
        WebDriverWait(driver, 10).until(expected_conditions.url_to_be(link + "/1"))
        for item in range(1, 36):
            here = driver.current_url
            driver.find_element(By.ID, "option" + options[item - 1]).click()
            # The choice is stored once the next page has loaded.
            WebDriverWait(driver, 10).until(expected_conditions.url_changes(here))
        driver.get(link + "/review")
        check(not driver.find_elements(By.CSS_SELECTOR, "#unanswered a"), "items left unanswered")
        driver.find_element(By.ID, "finish").click()
        WebDriverWait(driver, 10).until(expected_conditions.url_to_be(link + "/thanks"))
        check("سپاسگزاريم" in driver.find_element(By.TAG_NAME, "body").text, "no thanks")
    finally:
        driver.quit()


def answer_mode(pairs):
    check(pairs and len(pairs) % 2 == 0, "usage: --answer LINK OPTIONS [LINK OPTIONS ...]")
    for index in range(0, len(pairs), 2):
        answer_all(pairs[index], pairs[index + 1])
        print("answered and finished: link %d" % (index // 2 + 1))


def main():
    PROGRAM = os.path.abspath(sys.argv[1])
    SHOTS = os.path.abspath(sys.argv[2])
    os.makedirs(SHOTS, exist_ok=True)
    work = tempfile.mkdtemp(prefix="t35-browser-")
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), QT_QPA_PLATFORM="offscreen")
    data = os.path.join(work, "data")

    def program(*arguments):
        return subprocess.run([PROGRAM, "--data-dir", data, *arguments], env=env, capture_output=True, text=True,
                              timeout=60)

    # The first run makes the data file; then two examinees are registered in it, as the registration window would.
    program("--invite", "nobody")
    database = os.path.join(data, "RIVERIVU", "RIVERIVU.mdb")
    check(os.path.exists(database), "no data file was made")
    with sqlite3.connect(database) as db:
        for code, name in (("4101", "Shirin"), ("4102", "Farhad")):
            db.execute('INSERT INTO IDE (Code, FName) VALUES (?, ?)', (code, name))
            db.execute('INSERT INTO Answer (Code) VALUES (?)', (code,))
        db.execute("UPDATE Theme SET Name = 'مرکز مشاوره آرامش'")

    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                    "-keyout", os.path.join(work, "key.pem"), "-out", os.path.join(work, "cert.pem")],
                   check=True, capture_output=True, timeout=60)

    runs = [
        {"code": "4101", "tls": False, "javascript": True, "shots": True},
        {"code": "4102", "tls": True, "javascript": False, "shots": False},
    ]
    for run in runs:
        port = free_port()
        scheme = "https" if run["tls"] else "http"
        made = program("--invite", run["code"], "--link-base", "%s://127.0.0.1:%d" % (scheme, port))
        check(made.returncode == 0, "no link: " + made.stderr)
        link = made.stdout.strip()
        token = link.rsplit("/", 1)[1]
        arguments = ["--serve", "--listen", "127.0.0.1:%d" % port]
        if run["tls"]:
            arguments += ["--tls-cert", os.path.join(work, "cert.pem"), "--tls-key", os.path.join(work, "key.pem")]
        server = subprocess.Popen([PROGRAM, "--data-dir", data, *arguments], env=env, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, text=True)
        try:
            deadline = time.time() + 20
            while time.time() < deadline:
                with socket.socket() as s:
                    if s.connect_ex(("127.0.0.1", port)) == 0:
                        break
                time.sleep(0.1)
            else:
                fail("the service did not start")

            chosen = {}
            driver = browser(run["javascript"], run["tls"])
            try:
                driver.get(link)
                check(driver.find_element(By.TAG_NAME, "html").get_attribute("dir") == "rtl", "not right to left")
                body = driver.find_element(By.TAG_NAME, "body").text
                check(run["code"] not in body and "Shirin" not in body and "Farhad" not in body, "a name or code shown")
                check("مرکز مشاوره آرامش" in body, "no clinic name")
                if run["shots"]:
                    driver.save_screenshot(os.path.join(SHOTS, "introduction.png"))
                driver.find_element(By.ID, "start").click()
                WebDriverWait(driver, 10).until(expected_conditions.url_to_be(link + "/1"))
                for item in range(1, 13):
                    position = driver.find_element(By.ID, "position").text
                    check(position == "%s از %s" % (str(item).translate(PERSIAN), "35".translate(PERSIAN)),
                          "item %d shows %r" % (item, position))
                    button = driver.find_element(By.ID, "option%d" % (1 + item % 5))
                    check(button.size["height"] >= 44, "a choice is %dpx high" % button.size["height"])
                    if run["shots"] and item == 5:
                        driver.save_screenshot(os.path.join(SHOTS, "item.png"))
                    button.click()
                    chosen[item] = 1 + item % 5
                    # The choice is stored once the redirect to the next item has loaded.
                    WebDriverWait(driver, 10).until(expected_conditions.url_to_be(link + "/%d" % (item + 1)))
                width = driver.execute_script("return document.documentElement.scrollWidth") \
                    if run["javascript"] else 375
                check(width <= 375, "the page is %dpx wide" % width)
            finally:
                driver.quit()

            driver = browser(run["javascript"], run["tls"])
            try:
                driver.get(link)
                positions = driver.find_elements(By.ID, "position")
                check(positions, "opened again at %s: %s" % (driver.current_url, driver.page_source[:3000]))
                position = positions[0].text
                check(position.startswith("۱۳ "), "opened again at %r" % position)
                driver.get(link + "/review")
                check(len(driver.find_elements(By.CSS_SELECTOR, "#unanswered a")) == 23, "not 23 unanswered listed")
                driver.find_element(By.ID, "finish").click()
                WebDriverWait(driver, 10).until(expected_conditions.url_to_be(link + "/thanks"))
                check("سپاسگزاريم" in driver.find_element(By.TAG_NAME, "body").text, "no thanks")
                if run["shots"]:
                    driver.save_screenshot(os.path.join(SHOTS, "thanks.png"))
                driver.get(link + "/1")
                check("کامل شده" in driver.find_element(By.TAG_NAME, "body").text, "the link does not say complete")
            finally:
                driver.quit()

            with sqlite3.connect(database) as db:
                row = db.execute('SELECT * FROM Answer WHERE Code = ?', (run["code"],)).fetchone()
                columns = [d[0] for d in db.execute('SELECT * FROM Answer LIMIT 0').description]
                stored = {int(c): v for c, v in zip(columns, row) if c.isdigit() and 1 <= int(c) <= 35 and v}
                expected = {item: str(keyed(item, option)) for item, option in chosen.items()}
                check(stored == expected, "stored %r, expected %r" % (stored, expected))
                state = db.execute('SELECT State FROM Invitation WHERE Code = ? ORDER BY rowid DESC LIMIT 1',
                                   (run["code"],)).fetchone()[0]
                check(state == "finished", "the invitation is " + state)
        finally:
            server.send_signal(signal.SIGTERM)
            try:
                out, err = server.communicate(timeout=15)
            except subprocess.TimeoutExpired:
                server.kill()
                fail("the service did not end on SIGTERM")
        check(server.returncode == 0, "the service ended with %d: %s" % (server.returncode, err))
        check("Stopped." in out, "the service did not stop cleanly")
        check(token not in out and token not in err, "the token was logged")
        print("%s with JavaScript %s: 12 answers stored, finished" % (scheme, "on" if run["javascript"] else "off"))
    shutil.rmtree(work, ignore_errors=True)
    print("screenshots in " + SHOTS)


if len(sys.argv) > 1 and sys.argv[1] == "--answer":
    answer_mode(sys.argv[2:])
else:
    main()
