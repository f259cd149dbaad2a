#!/usr/bin/python3
"""The report server's page in a real headless Chromium: log in, open the income statement, pick a
company, see pBeneficiarios follow pPublicarBrevix, run split per beneficiary with a password
template, follow the progress to the end, download the ZIP and read every PDF in it."""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support import expected_conditions as ec
from selenium.webdriver.support.ui import Select, WebDriverWait

PASSWORD = "senha-do-navegador-1"


def start_server(nrw, work):
    subprocess.run([nrw, "demo-db", os.path.join(work, "demo.db")], check=True,
                   stdout=subprocess.DEVNULL, timeout=120)
    subprocess.run([nrw, "usuario", "add", "ana", "--usuario", "1", "--users",
                    os.path.join(work, "users.json")], input=PASSWORD + "\n", text=True,
                   check=True, timeout=60, stderr=subprocess.DEVNULL)
    log = open(os.path.join(work, "serve.log"), "w+")
    server = subprocess.Popen([nrw, "serve", "--db", os.path.join(work, "demo.db"), "--users",
                               os.path.join(work, "users.json"), "--listen", "127.0.0.1:0",
                               "--data", os.path.join(work, "dados")], stderr=log)
    deadline = time.time() + 30
    while time.time() < deadline:
        log.seek(0)
        found = re.search(r"Servidor em (http://127\.0\.0\.1:\d+)/", log.read())
        if found:
            return server, found.group(1)
        if server.poll() is not None:
            break
        time.sleep(0.1)
    server.kill()
    log.seek(0)
    sys.exit("nrw serve não começou a escutar:\n" + log.read())


def start_browser(work, downloads):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage", "--user-data-dir=" + os.path.join(work, "perfil")]:
        options.add_argument(flag)
    options.add_experimental_option("prefs", {"download.default_directory": downloads,
                                              "download.prompt_for_download": False})
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": downloads})
    return driver


def scenario(driver, base, downloads):
    wait = WebDriverWait(driver, 90)
    driver.get(base + "/")
    wait.until(ec.visibility_of_element_located((By.ID, "login-usuario"))).send_keys("ana")
    driver.find_element(By.ID, "login-senha").send_keys(PASSWORD)
    driver.find_element(By.CSS_SELECTOR, "#form-login button[type=submit]").click()

    wait.until(ec.element_to_be_clickable(
        (By.CSS_SELECTOR, "button[data-report=RptIncomeStatement]"))).click()
    wait.until(ec.visibility_of_element_located((By.ID, "item-pCodigoEmpresa")))

    # The company from the picker, found by a piece of its name.
    driver.find_element(By.ID, "procurar-pCodigoEmpresa").click()
    search = wait.until(ec.visibility_of_element_located((By.ID, "busca-pCodigoEmpresa")))
    search.send_keys("Metal")
    wait.until(ec.element_to_be_clickable(
        (By.CSS_SELECTOR, "#opcoes-pCodigoEmpresa button[data-value='1']"))).click()
    wait.until(lambda d: d.find_element(By.ID, "item-pCodigoEmpresa").get_attribute("value") == "1")

    beneficiaries = driver.find_element(By.ID, "item-pBeneficiarios")
    publish = Select(driver.find_element(By.ID, "item-pPublicarBrevix"))
    publish.select_by_value("1")
    wait.until(lambda d: not beneficiaries.is_enabled())
    publish.select_by_value("0")
    wait.until(lambda d: beneficiaries.is_enabled())

    driver.find_element(By.ID, "separar-pBeneficiarios").click()
    Select(driver.find_element(By.ID, "formato")).select_by_value("pdf")
    driver.find_element(By.ID, "senha-modelo").send_keys("{pBeneficiarios:digits:5}")
    driver.find_element(By.ID, "gerar").click()

    WebDriverWait(driver, 120).until(
        lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-estado")
        in ("done", "failed", "cancelled"))
    state = driver.find_element(By.TAG_NAME, "body").get_attribute("data-estado")
    if state != "done":
        sys.exit("a execução terminou como " + state + ": " +
                 driver.find_element(By.ID, "execucao-erro").text)
    bar = driver.find_element(By.ID, "barra")
    if bar.get_attribute("value") != bar.get_attribute("max") or int(bar.get_attribute("max")) < 2:
        sys.exit("a barra de progresso não chegou ao fim: %s de %s" %
                 (bar.get_attribute("value"), bar.get_attribute("max")))
    wait.until(lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-arquivos"))
    listed = int(driver.find_element(By.TAG_NAME, "body").get_attribute("data-arquivos"))

    wait.until(ec.element_to_be_clickable((By.ID, "baixar-zip"))).click()
    deadline = time.time() + 60
    archive = None
    while time.time() < deadline and archive is None:
        names = [n for n in os.listdir(downloads) if n.endswith(".zip")]
        if names:
            archive = os.path.join(downloads, names[0])
        time.sleep(0.2)
    if archive is None:
        sys.exit("o ZIP não foi baixado")
    return archive, listed


def read_pdfs(archive, listed, work):
    folder = os.path.join(work, "zip")
    with zipfile.ZipFile(archive) as pack:
        names = pack.namelist()
        pack.extractall(folder)
    pdfs = [n for n in names if n.endswith(".pdf")]
    if len(pdfs) != listed or not pdfs:
        sys.exit("o ZIP tem %d PDFs; a página listou %d arquivos" % (len(pdfs), listed))
    for name in pdfs:
        path = os.path.join(folder, name)
        cpf = os.path.splitext(os.path.basename(name))[0]
        password = re.sub(r"\D", "", cpf)[:5]
        locked = subprocess.run(["pdftotext", path, "-"], capture_output=True, text=True)
        if locked.returncode == 0:
            sys.exit(name + ": abre sem senha")
        opened = subprocess.run(["pdftotext", "-upw", password, path, "-"], capture_output=True,
                                text=True, timeout=60)
        if opened.returncode != 0 or cpf not in opened.stdout:
            sys.exit(name + ": pdftotext com a senha não leu o comprovante: " + opened.stderr)
    print("%d PDFs protegidos lidos do ZIP" % len(pdfs))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--nrw", required=True)
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="nrw-navegador-")
    downloads = os.path.join(work, "baixados")
    os.makedirs(downloads)
    server, base = start_server(args.nrw, work)
    driver = None
    try:
        driver = start_browser(work, downloads)
        archive, listed = scenario(driver, base, downloads)
        read_pdfs(archive, listed, work)
    finally:
        if driver is not None:
            driver.quit()
        server.terminate()
        try:
            server.wait(timeout=20)
        except subprocess.TimeoutExpired:
            server.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
