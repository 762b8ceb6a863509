os.execute("true") fx = {}
