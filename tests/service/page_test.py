# SPDX-License-Identifier: MIT
"""The page at / in headless Chromium, driven by keyboard only: typing shows
a preview whose screenshot reads back as the text, and too long a text puts
the error next to the data field. Exits 77 when Chromium cannot start.
Usage: BARQUILL=path/to/barquill page_test.py"""

import io
import sys
import tempfile
import time
import unittest

from PIL import Image

from service_fixture import Server, read_picture

try:
    from selenium import webdriver
    from selenium.common.exceptions import WebDriverException
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import Select, WebDriverWait
except ImportError:
    print("selenium is not installed: skipped")
    sys.exit(77)

server = None
browser = None
profile = None
TEXT = "Boarding pass LH 400, seat 32K"


def setUpModule():
    global server, browser, profile
    profile = tempfile.TemporaryDirectory()
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync",
                     "--window-size=1000,1400", f"--user-data-dir={profile.name}"):
        options.add_argument(argument)
    try:
        service = webdriver.ChromeService(executable_path="/usr/bin/chromedriver") \
            if hasattr(webdriver, "ChromeService") else \
            webdriver.chrome.service.Service(executable_path="/usr/bin/chromedriver")
        browser = webdriver.Chrome(service=service, options=options)
    except WebDriverException as failure:
        print(f"Chromium cannot start: skipped ({failure.msg})")
        profile.cleanup()
        sys.exit(77)
    browser.set_page_load_timeout(30)
    server = Server()


def tearDownModule():
    browser.quit()
    profile.cleanup()
    status = server.stop()
    if status != 0:
        raise AssertionError(f"the server ended with {status} after SIGTERM")


def active_id():
    return browser.switch_to.active_element.get_attribute("id")


def keys(*typed):
    """Keys to whatever has the focus, as a keyboard user types them."""
    ActionChains(browser).send_keys(*typed).perform()


def tab_to(element_id, limit=30):
    """Moves the focus with Tab alone."""
    for _ in range(limit):
        if active_id() == element_id:
            return
        keys(Keys.TAB)
    raise AssertionError(f"Tab never reached #{element_id}")


def wait_for(condition, timeout=15):
    return WebDriverWait(browser, timeout).until(lambda _: condition())


class Page(unittest.TestCase):
    def setUp(self):
        browser.get(f"http://127.0.0.1:{server.port}/")

    def test_typing_shows_a_preview_that_reads_back(self):
        tab_to("data")
        keys(TEXT)
        preview = browser.find_element(By.ID, "preview")
        wait_for(lambda: preview.is_displayed() and browser.execute_script(
            "return arguments[0].complete && arguments[0].naturalWidth > 0", preview))
        # The preview follows the last key typed, not an earlier one.
        wait_for(lambda: "curl" in browser.find_element(By.ID, "curl").get_attribute("value"))
        picture = Image.open(io.BytesIO(preview.screenshot_as_png))
        self.assertEqual(read_picture(picture), TEXT.encode())

        status = browser.find_element(By.ID, "status").text
        self.assertIn("rows", status)
        download = browser.find_element(By.ID, "download")
        self.assertTrue(download.is_displayed())
        self.assertIn("format=png", download.get_attribute("href"))
        curl = browser.find_element(By.ID, "curl").get_attribute("value")
        self.assertTrue(curl.startswith(f"curl -o label.png 'http://127.0.0.1:{server.port}/v1/pdf417?"))

        # The format by keyboard: the download link and curl line follow it.
        tab_to("format")
        select = browser.switch_to.active_element
        keys(Keys.END)
        wait_for(lambda: "format=eps" in download.get_attribute("href"))
        self.assertEqual(Select(select).first_selected_option.get_attribute("value"), "eps")
        tab_to("download")

    def test_too_long_a_text_puts_the_error_next_to_the_field(self):
        tab_to("data")
        field = browser.switch_to.active_element
        keys("Aa" * 1100)
        error = browser.find_element(By.ID, "data-error")
        wait_for(lambda: error.text != "")
        self.assertIn("codewords", error.text)
        self.assertEqual(field.get_attribute("aria-invalid"), "true")
        self.assertEqual(error.get_attribute("aria-live"), "polite")
        self.assertIn("data-error", field.get_attribute("aria-describedby"))
        self.assertFalse(browser.find_element(By.ID, "preview").is_displayed())
        # Mending the text clears the error.
        ActionChains(browser).key_down(Keys.CONTROL).send_keys("a").key_up(Keys.CONTROL).perform()
        keys("short")
        wait_for(lambda: error.text == "" and field.get_attribute("aria-invalid") is None)

    def test_every_control_has_a_label(self):
        for control in browser.find_elements(By.CSS_SELECTOR, "input, select, textarea"):
            control_id = control.get_attribute("id")
            labels = browser.find_elements(By.CSS_SELECTOR, f"label[for='{control_id}']")
            self.assertEqual(len(labels), 1, control_id)
            self.assertTrue(labels[0].text.strip(), control_id)


if __name__ == "__main__":
    unittest.main()
